// The file the print dialog offers when the user prints to a file. Left to
// itself the dialog builds it from the document name, and "QUIVERA/FDDI"
// then names a folder "QUIVERA" that does not exist, so the first try fails
// with "not writable".
#pragma once

#include <QString>
#include <string>

class QPrintDialog;
class QPrinter;

namespace quivera {

// The file name offered, without a folder.
inline constexpr char kPrintFileName[] = "QUIVERA-FDDI.pdf";

// The folder the offered file goes in: 'current' when it lies inside 'home'
// and can be written to (as the dialog itself prefers), else 'home' when it
// can be written to, else 'temp'.
QString PrintFileFolder(const QString& home, const QString& current, const QString& temp);

// The offered file for this user and working folder.
QString SuggestedPrintFile();

// Puts SuggestedPrintFile() into 'dialog's output file field. Returns false
// when the dialog has no such field (then it offers its own name).
bool SuggestPrintFile(QPrintDialog& dialog);

// What the user is told once 'printer' has taken the pages: where the file
// went when it printed to a file ("The printout was written to
// /home/op/QUIVERA-FDDI.pdf."), else "Printing is sent to the default
// printer.".
std::string PrintDoneText(const QPrinter& printer);

}  // namespace quivera

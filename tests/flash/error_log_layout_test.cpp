// Error-log entry text: the decoder tables, the timestamp order, line counts,
// one full entry line by line, and the list bounds.
#include "flash/error_log_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

namespace quivera {
namespace {

// An error-log entry reply built field by field.
class EntryReply {
 public:
  EntryReply& Put(size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    return *this;
  }
  EntryReply& Status(uint32_t v) { return Put(16, v); }
  EntryReply& Caller(uint32_t v) { return Put(24, v); }
  // Register dump words 7..117.
  EntryReply& Word(int word, uint32_t v) { return Put(72 + 4 * static_cast<size_t>(word - 7), v); }
  EntryReply& Halt(uint32_t v) { return Word(7, v); }
  EntryReply& Fault(uint32_t v) { return Word(8, v); }
  std::span<const uint8_t, kFlashReplySize> span() const { return bytes_; }

 private:
  std::array<uint8_t, kFlashReplySize> bytes_{};
};

std::vector<std::string> Format(const EntryReply& reply, bool full) {
  TextLines lines;
  EXPECT_TRUE(FormatErrorLogEntry(lines, reply.span(), full));
  std::vector<std::string> out;
  for (int i = 0; i < lines.count(); ++i) out.emplace_back(lines.line(i));
  return out;
}

TEST(ErrorLogLayoutTest, NonZeroStatusReportsAMissingEntry) {
  struct Case {
    uint32_t status;
    const char* status_line;
  };
  const Case cases[] = {
      {2, "     Entry status = 2"},
      // Erased flash reads as all ones; the status is shown as a signed number.
      {0xFFFFFFFF, "     Entry status = -1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    const std::vector<std::string> expected = {"  ** This log entry does not exist. **", " ",
                                               c.status_line};
    EXPECT_EQ(Format(EntryReply().Status(c.status).Caller(5), true), expected);
  }
}

TEST(ErrorLogLayoutTest, CallerIdLines) {
  struct Case {
    uint32_t caller;
    const char* line;
  };
  const Case cases[] = {
      {0, "    Caller ID    = 0  NONE"},
      {1, "    Caller ID    = 1  NORMAL SELFTEST"},
      {2, "    Caller ID    = 2  MFG POWERUP SELFTEST"},
      {3, "    Caller ID    = 3  ONLINE DIAGS"},
      {4, "    Caller ID    = 4  HARDWARE"},
      {6, "    Caller ID    = 6  CNS FIRMWARE"},
      {7, "    Caller ID    = 7  CNS HARDWARE"},
      {8, "    Caller ID    = 8  CONSOLE"},
      {9, "    Caller ID    = 00000009  UNKNOWN ID"},
      {0xDEADBEEF, "    Caller ID    = DEADBEEF  UNKNOWN ID"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caller);
    // A halt code of 4 in the dump must not show for callers other than firmware.
    const auto lines =
        Format(EntryReply().Caller(c.caller).Halt(4).Fault(3).Word(9, 0x1234ABCD), false);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "    Entry status = 0  VALID");
    EXPECT_EQ(lines[1], c.line);
    EXPECT_EQ(lines[2], "    Failed PC    = 1234ABCD");
  }
}

struct CodeCase {
  uint32_t value;
  const char* line;
};

TEST(ErrorLogLayoutTest, FirmwareCallerShowsHaltCode) {
  const CodeCase cases[] = {
      {0, "    Halt code    = 0  SELFTEST TIMEOUT"},
      {1, "    Halt code    = 1  PARITY ERROR"},
      {2, "    Halt code    = 2  HOST DIRECTED HALT"},
      {3, "    Halt code    = 3  SOFTWARE FAULT"},
      {5, "    Halt code    = 5  PC TRACE"},
      {6, "    Halt code    = 6  DMA ERROR"},
      {7, "    Halt code    = 7  IMAGE CRC ERROR"},
      {8, "    Halt code    = 8  BUS EXCEPTION"},
      {9, "    Halt code    = 00000009 UNKNOWN"},
      {0x80000000, "    Halt code    = 80000000 UNKNOWN"},
  };
  for (const CodeCase& c : cases) {
    SCOPED_TRACE(c.value);
    // A fault type only follows a hardware fault.
    const auto lines = Format(EntryReply().Caller(5).Halt(c.value).Fault(3), false);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[1], "    Caller ID    = 5  FIRMWARE");
    EXPECT_EQ(lines[2], c.line);
    EXPECT_EQ(lines[3], "    Failed PC    = 00000000");
  }
}

TEST(ErrorLogLayoutTest, HardwareFaultShowsFaultType) {
  const CodeCase cases[] = {
      {3, "    Fault type   = 03 RMC MAC Parity Error"},
      {4, "    Fault type   = 04 RMC MAC Parity Threshold"},
      {8, "    Fault type   = 08 MAC Node Processor"},
      {9, "    Fault type   = 09 MAC RMC Parity Error"},
      {10, "    Fault type   = 0A MAC RMC Parity Threshold"},
      {11, "    Fault type   = 0B MAC Bad CRC Sent"},
      {12, "    Fault type   = 0C ELM Parity Error"},
      {13, "    Fault type   = 0D ELM Parity Threshold"},
      {14, "    Fault type   = 0E ELM Node Processor"},
      {15, "    Fault type   = 0F Null Parity"},
      {16, "    Fault type   = 10 Null Parity Threshold"},
      {0, "    Fault type   = 00000000 UNKNOWN"},
      {5, "    Fault type   = 00000005 UNKNOWN"},
      {6, "    Fault type   = 00000006 UNKNOWN"},
      {7, "    Fault type   = 00000007 UNKNOWN"},
      {17, "    Fault type   = 00000011 UNKNOWN"},
  };
  for (const CodeCase& c : cases) {
    SCOPED_TRACE(c.value);
    const auto lines = Format(EntryReply().Caller(5).Halt(4).Fault(c.value), false);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[2], "    Halt code    = 4  HARDWARE FAULT");
    EXPECT_EQ(lines[3], c.line);
    EXPECT_EQ(lines[4], "    Failed PC    = 00000000");
  }
}

TEST(ErrorLogLayoutTest, TimestampShowsHighPartFirstThenLowHalves) {
  const auto lines = Format(EntryReply().Caller(1).Put(32, 0xFFFF1234).Put(28, 0x56789ABC), false);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[3], " ");
  // Only the low 16 bits of the high part count.
  EXPECT_EQ(lines[4], "    Timestamp    = 1234 9ABC 5678");
  EXPECT_EQ(lines[5], "    Write Count  = 0000");
}

TEST(ErrorLogLayoutTest, LineCounts) {
  struct Case {
    uint32_t caller;
    uint32_t halt;
    bool full;
    size_t count;
  };
  const Case cases[] = {
      {5, 4, true, 130}, {5, 3, true, 129}, {4, 4, true, 128},
      {5, 4, false, 8},  {5, 3, false, 7},  {4, 4, false, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "caller " << c.caller << " halt " << c.halt);
    EXPECT_EQ(Format(EntryReply().Caller(c.caller).Halt(c.halt), c.full).size(), c.count);
  }
  static_assert(kErrorLogEntryMaxLines == 130);
}

// A firmware hardware-fault entry laid out in full, written out line by line.
constexpr const char* kFullEntry = R"(    Entry status = 0  VALID
    Caller ID    = 5  FIRMWARE
    Halt code    = 4  HARDWARE FAULT
    Fault type   = 0B MAC Bad CRC Sent
    Failed PC    = 00401A2C
 
    Timestamp    = 1234 9ABC 5678
    Write Count  = 0007
    Test ID      = 0042
    Test Data    =
word                                0:10203040
word                                1:10203041
word                                2:10203042
word                                3:10203043
word                                4:10203044
word                                5:10203045
word                                6:00000000
Event                               7:00000004
FW private                          8:0000000B
CPU PC                              9:00401A2C
CPU SR                             10:A50A0A0A
CPU D0                             11:A50B0B0B
CPU D1                             12:A50C0C0C
CPU D2                             13:A50D0D0D
CPU D3                             14:A50E0E0E
CPU D4                             15:A50F0F0F
CPU D5                             16:A5101010
CPU D6                             17:A5111111
CPU D7                             18:A5121212
CPU A0                             19:A5131313
CPU A1                             20:A5141414
CPU A2                             21:A5151515
CPU A3                             22:A5161616
CPU A4                             23:A5171717
CPU A5                             24:A5181818
CPU A6 FP                          25:A5191919
CPU A7 SP                          26:A51A1A1A
phy1_csr               (0x208000)  27:A51B1B1B
elm_base                           28:A51C1C1C
mac_base                           29:A51D1D1D
cam_csr                            30:A51E1E1E
cam_data_15_00                     31:A51F1F1F
cam_data_31_16                     32:A5202020
cam_data_47_32                     33:A5212121
rtos_timer             (0x100000)  34:A5222222
rtos_timer_value       (0x100002)  35:A5232323
pm_csr                 (0x100100)  36:A5242424
i68k_68k_int           (0x100400)  37:A5252525
i68k_68k_mask          (0x100402)  38:A5262626
dma_int                (0x100404)  39:A5272727
dma_mask               (0x100406)  40:A5282828
i68k_force_int         (0x100408)  41:A5292929
host_data              (0x102000)  42:A52A2A2A
port_status            (0x102006)  43:A52B2B2B
host_int_0             (0x10200A)  44:A52C2C2C
host_int_0_mask        (0x10200E)  45:A52D2D2D
host_dma_mask          (0x10200C)  46:A52E2E2E
port_ctrl_int          (0x102202)  47:A52F2F2F
port_ctrl_mask         (0x102206)  48:A5303030
port_data_a            (0x102208)  49:A5313131
port_data_b            (0x10220C)  50:A5323232
fmc_control            (0x103000)  51:A5333333
fmc_status             (0x103008)  52:A5343434
fmc_int                (0x10300C)  53:A5353535
fmc_int_mask           (0x10300E)  54:A5363636
dma_host_base_desc_31_00           55:A5373737
dma_host_base_desc_47_32           56:A5383838
dma_host_base_cons_31_00           57:A5393939
dma_host_base_cons_47_32           58:A53A3A3A
dma_run                (0x101100)  59:A53B3B3B
dma_error              (0x101102)  60:A53C3C3C
host_rcv_xmt_data_cons (0x101200)  61:A53D3D3D
host_cmd_req_cons      (0x101600)  62:A53E3E3E
host_cmd_rsp_cons      (0x101206)  63:A53F3F3F
host_smt_cons          (0x101208)  64:A5404040
host_unsol_cons        (0x101204)  65:A5414141
host_rcv_xmt_data_prod (0x101300)  66:A5424242
host_cmd_req_prod      (0x101702)  67:A5434343
host_cmd_rsp_prod      (0x10130A)  68:A5444444
host_host_smt_prod     (0x10130E)  69:A5454545
host_unsol_prod        (0x101306)  70:A5464646
adap_xmt_data_cons     (0x101308)  71:A5474747
adap_rcv_data_cons     (0x101400)  72:A5484848
adap_cmd_req_cons      (0x101800)  73:A5494949
adap_cmd_rsp_cons      (0x101404)  74:A54A4A4A
adap_host_smt_cons     (0x101406)  75:A54B4B4B
adap_unsol_cons        (0x101402)  76:A54C4C4C
adap_xmt_smt_cons      (0x103802)  77:A54D4D4D
adap_rcv_smt_cons      (0x103400)  78:A54E4E4E
adap_xmt_data_prod     (0x101900)  79:A54F4F4F
adap_rcv_data_prod     (0x103500)  80:A5505050
adap_cmd_req_prod      (0x101902)  81:A5515151
adap_cmd_rsp_prod      (0x101502)  82:A5525252
adap_host_smt_prod     (0x101504)  83:A5535353
adap_unsol_prod        (0x101500)  84:A5545454
adap_xmt_xmt_prod      (0x103900)  85:A5555555
adap_rcv_smt_prod      (0x103502)  86:A5565656
adap_xmt_data_buff_cons(0x103804)  87:A5575757
adap_rcv_data_buff_cons(0x101408)  88:A5585858
adap_rcv_smt_buff_cons (0x103402)  89:A5595959
adap_xmt_smt_buff_cons (0x103806)  90:A55A5A5A
adap_rcv_data_buff_prod(0x103506)  91:A55B5B5B
adap_xmt_data_buff_prod(0x101904)  92:A55C5C5C
adap_rcv_smt_buff_prod (0x103504)  93:A55D5D5D
adap_pm_init_buff_addr (0x103508)  94:A55E5E5E
adap_pm_tx_cnt_prod    (0x103902)  95:A55F5F5F
dma_kr_state           (0x101A08)  96:A5606060
firmware version                   97:A5616161
stack + 0000                       98:A5626262
stack + 0004                       99:A5636363
stack + 0008                      100:A5646464
stack + 000C                      101:A5656565
stack + 0010                      102:A5666666
stack + 0014                      103:A5676767
stack + 0018                      104:A5686868
stack + 001C                      105:A5696969
stack + 0020                      106:A56A6A6A
stack + 0024                      107:A56B6B6B
stack + 0028                      108:A56C6C6C
stack + 002C                      109:A56D6D6D
stack + 0030                      110:A56E6E6E
stack + 0034                      111:A56F6F6F
stack + 0038                      112:A5707070
stack + 003C                      113:A5717171
stack + 0040                      114:A5727272
stack + 0044                      115:A5737373
stack + 0048                      116:A5747474
stack + 004C                      117:A5757575
118:00000000
119:00000000)";

TEST(ErrorLogLayoutTest, FullEntryLineByLine) {
  EntryReply reply;
  reply.Caller(5).Put(28, 0x56789ABC).Put(32, 0x00001234).Put(36, 7).Put(40, 0x42);
  for (int word = 0; word < 6; ++word)
    reply.Put(48 + 4 * static_cast<size_t>(word), 0x10203040 + word);
  for (int word = 7; word <= 117; ++word) reply.Word(word, 0xA5000000 + word * 0x00010101);
  reply.Halt(4).Fault(0x0B).Word(9, 0x00401A2C);
  // Bytes past the dump must not show: words 118 and 119 are always zero.
  reply.Put(516, 0xFFFFFFFF);

  std::vector<std::string> expected;
  std::istringstream text(kFullEntry);
  for (std::string line; std::getline(text, line);) expected.push_back(line);
  ASSERT_EQ(expected.size(), 130u);

  const auto lines = Format(reply, true);
  ASSERT_EQ(lines.size(), expected.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i], expected[i]) << "line " << i;
  }
}

TEST(ErrorLogLayoutTest, WordLinesAreFixedWidth) {
  TextLines lines;
  for (int word = 0; word < 120; ++word) FormatErrorLogWordLine(lines, word, 0xFFFFFFFF);
  ASSERT_EQ(lines.count(), 120);
  for (int i = 0; i < lines.count(); ++i) {
    EXPECT_EQ(lines.line(i).size(), 46u) << lines.line(i);
  }
  EXPECT_EQ(lines.line(118), "stack + 0050                      118:FFFFFFFF");
  EXPECT_EQ(lines.line(119), "word                              119:FFFFFFFF");
}

TEST(ErrorLogLayoutTest, EntryThatDoesNotFitIsCutAtTheListEnd) {
  TextLines lines;
  for (int i = 0; i < 140; ++i) lines.Append("kept");
  EXPECT_FALSE(FormatErrorLogEntry(lines, EntryReply().Caller(5).Halt(4).span(), true));
  EXPECT_EQ(lines.count(), TextLines::kMaxLines);
  EXPECT_TRUE(lines.truncated());
  EXPECT_EQ(lines.line(139), "kept");
  EXPECT_EQ(lines.line(140), "    Entry status = 0  VALID");
  EXPECT_EQ(lines.line(149), "    Test Data    =");
}

}  // namespace
}  // namespace quivera

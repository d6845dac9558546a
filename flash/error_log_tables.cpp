// Data tables of the error-log entry text.
#include "flash/error_log_tables.h"

namespace quivera {

namespace {

// clang-format off
constexpr ErrorLogCodeLine kCallerIdLines[] = {
    {0, "    Caller ID    = 0  NONE"},
    {1, "    Caller ID    = 1  NORMAL SELFTEST"},
    {2, "    Caller ID    = 2  MFG POWERUP SELFTEST"},
    {3, "    Caller ID    = 3  ONLINE DIAGS"},
    {4, "    Caller ID    = 4  HARDWARE"},
    {5, "    Caller ID    = 5  FIRMWARE"},
    {6, "    Caller ID    = 6  CNS FIRMWARE"},
    {7, "    Caller ID    = 7  CNS HARDWARE"},
    {8, "    Caller ID    = 8  CONSOLE"},
};

constexpr ErrorLogCodeLine kHaltCodeLines[] = {
    {0, "    Halt code    = 0  SELFTEST TIMEOUT"},
    {1, "    Halt code    = 1  PARITY ERROR"},
    {2, "    Halt code    = 2  HOST DIRECTED HALT"},
    {3, "    Halt code    = 3  SOFTWARE FAULT"},
    {4, "    Halt code    = 4  HARDWARE FAULT"},
    {5, "    Halt code    = 5  PC TRACE"},
    {6, "    Halt code    = 6  DMA ERROR"},
    {7, "    Halt code    = 7  IMAGE CRC ERROR"},
    {8, "    Halt code    = 8  BUS EXCEPTION"},
};

// Fault types 5, 6 and 7 are deliberately absent: they show as unknown.
constexpr ErrorLogCodeLine kFaultTypeLines[] = {
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
};

// Words 0..6 are the test data area, 7..26 the processor state at the halt,
// 27..96 adapter registers, 97 the firmware version, 98..118 the top of the
// stack.
constexpr std::array<ErrorLogWordLabel, kErrorLogWords> kWordLabels = {{
    {"word", nullptr},                                // 0
    {"word", nullptr},                                // 1
    {"word", nullptr},                                // 2
    {"word", nullptr},                                // 3
    {"word", nullptr},                                // 4
    {"word", nullptr},                                // 5
    {"word", nullptr},                                // 6
    {"Event", nullptr},                               // 7
    {"FW private", nullptr},                          // 8
    {"CPU PC", nullptr},                              // 9
    {"CPU SR", nullptr},                              // 10
    {"CPU D0", nullptr},                              // 11
    {"CPU D1", nullptr},                              // 12
    {"CPU D2", nullptr},                              // 13
    {"CPU D3", nullptr},                              // 14
    {"CPU D4", nullptr},                              // 15
    {"CPU D5", nullptr},                              // 16
    {"CPU D6", nullptr},                              // 17
    {"CPU D7", nullptr},                              // 18
    {"CPU A0", nullptr},                              // 19
    {"CPU A1", nullptr},                              // 20
    {"CPU A2", nullptr},                              // 21
    {"CPU A3", nullptr},                              // 22
    {"CPU A4", nullptr},                              // 23
    {"CPU A5", nullptr},                              // 24
    {"CPU A6 FP", nullptr},                           // 25
    {"CPU A7 SP", nullptr},                           // 26
    {"phy1_csr", "0x208000"},                         // 27
    {"elm_base", nullptr},                            // 28
    {"mac_base", nullptr},                            // 29
    {"cam_csr", nullptr},                             // 30
    {"cam_data_15_00", nullptr},                      // 31
    {"cam_data_31_16", nullptr},                      // 32
    {"cam_data_47_32", nullptr},                      // 33
    {"rtos_timer", "0x100000"},                       // 34
    {"rtos_timer_value", "0x100002"},                 // 35
    {"pm_csr", "0x100100"},                           // 36
    {"i68k_68k_int", "0x100400"},                     // 37
    {"i68k_68k_mask", "0x100402"},                    // 38
    {"dma_int", "0x100404"},                          // 39
    {"dma_mask", "0x100406"},                         // 40
    {"i68k_force_int", "0x100408"},                   // 41
    {"host_data", "0x102000"},                        // 42
    {"port_status", "0x102006"},                      // 43
    {"host_int_0", "0x10200A"},                       // 44
    {"host_int_0_mask", "0x10200E"},                  // 45
    {"host_dma_mask", "0x10200C"},                    // 46
    {"port_ctrl_int", "0x102202"},                    // 47
    {"port_ctrl_mask", "0x102206"},                   // 48
    {"port_data_a", "0x102208"},                      // 49
    {"port_data_b", "0x10220C"},                      // 50
    {"fmc_control", "0x103000"},                      // 51
    {"fmc_status", "0x103008"},                       // 52
    {"fmc_int", "0x10300C"},                          // 53
    {"fmc_int_mask", "0x10300E"},                     // 54
    {"dma_host_base_desc_31_00", nullptr},            // 55
    {"dma_host_base_desc_47_32", nullptr},            // 56
    {"dma_host_base_cons_31_00", nullptr},            // 57
    {"dma_host_base_cons_47_32", nullptr},            // 58
    {"dma_run", "0x101100"},                          // 59
    {"dma_error", "0x101102"},                        // 60
    {"host_rcv_xmt_data_cons", "0x101200"},           // 61
    {"host_cmd_req_cons", "0x101600"},                // 62
    {"host_cmd_rsp_cons", "0x101206"},                // 63
    {"host_smt_cons", "0x101208"},                    // 64
    {"host_unsol_cons", "0x101204"},                  // 65
    {"host_rcv_xmt_data_prod", "0x101300"},           // 66
    {"host_cmd_req_prod", "0x101702"},                // 67
    {"host_cmd_rsp_prod", "0x10130A"},                // 68
    {"host_host_smt_prod", "0x10130E"},               // 69
    {"host_unsol_prod", "0x101306"},                  // 70
    {"adap_xmt_data_cons", "0x101308"},               // 71
    {"adap_rcv_data_cons", "0x101400"},               // 72
    {"adap_cmd_req_cons", "0x101800"},                // 73
    {"adap_cmd_rsp_cons", "0x101404"},                // 74
    {"adap_host_smt_cons", "0x101406"},               // 75
    {"adap_unsol_cons", "0x101402"},                  // 76
    {"adap_xmt_smt_cons", "0x103802"},                // 77
    {"adap_rcv_smt_cons", "0x103400"},                // 78
    {"adap_xmt_data_prod", "0x101900"},               // 79
    {"adap_rcv_data_prod", "0x103500"},               // 80
    {"adap_cmd_req_prod", "0x101902"},                // 81
    {"adap_cmd_rsp_prod", "0x101502"},                // 82
    {"adap_host_smt_prod", "0x101504"},               // 83
    {"adap_unsol_prod", "0x101500"},                  // 84
    {"adap_xmt_xmt_prod", "0x103900"},                // 85
    {"adap_rcv_smt_prod", "0x103502"},                // 86
    {"adap_xmt_data_buff_cons", "0x103804"},          // 87
    {"adap_rcv_data_buff_cons", "0x101408"},          // 88
    {"adap_rcv_smt_buff_cons", "0x103402"},           // 89
    {"adap_xmt_smt_buff_cons", "0x103806"},           // 90
    {"adap_rcv_data_buff_prod", "0x103506"},          // 91
    {"adap_xmt_data_buff_prod", "0x101904"},          // 92
    {"adap_rcv_smt_buff_prod", "0x103504"},           // 93
    {"adap_pm_init_buff_addr", "0x103508"},           // 94
    {"adap_pm_tx_cnt_prod", "0x103902"},              // 95
    {"dma_kr_state", "0x101A08"},                     // 96
    {"firmware version", nullptr},                    // 97
    {"stack + 0000", nullptr},                        // 98
    {"stack + 0004", nullptr},                        // 99
    {"stack + 0008", nullptr},                        // 100
    {"stack + 000C", nullptr},                        // 101
    {"stack + 0010", nullptr},                        // 102
    {"stack + 0014", nullptr},                        // 103
    {"stack + 0018", nullptr},                        // 104
    {"stack + 001C", nullptr},                        // 105
    {"stack + 0020", nullptr},                        // 106
    {"stack + 0024", nullptr},                        // 107
    {"stack + 0028", nullptr},                        // 108
    {"stack + 002C", nullptr},                        // 109
    {"stack + 0030", nullptr},                        // 110
    {"stack + 0034", nullptr},                        // 111
    {"stack + 0038", nullptr},                        // 112
    {"stack + 003C", nullptr},                        // 113
    {"stack + 0040", nullptr},                        // 114
    {"stack + 0044", nullptr},                        // 115
    {"stack + 0048", nullptr},                        // 116
    {"stack + 004C", nullptr},                        // 117
    {"stack + 0050", nullptr},                        // 118
    {"word", nullptr},                                // 119
}};
// clang-format on

}  // namespace

std::span<const ErrorLogCodeLine> CallerIdLines() { return kCallerIdLines; }
std::span<const ErrorLogCodeLine> HaltCodeLines() { return kHaltCodeLines; }
std::span<const ErrorLogCodeLine> FaultTypeLines() { return kFaultTypeLines; }

const char* FindErrorLogCodeLine(std::span<const ErrorLogCodeLine> table, uint32_t value) {
  for (const ErrorLogCodeLine& row : table) {
    if (row.value == value) return row.line;
  }
  return nullptr;
}

const std::array<ErrorLogWordLabel, kErrorLogWords>& ErrorLogWordLabels() { return kWordLabels; }

}  // namespace quivera

// The management request records and the reply rules of the driver request set.
#include "adapter/management_request.h"

#include <algorithm>

namespace quivera {
namespace {

// Every management request code with the header it travels with, in code order.
constexpr RequestShape kShapes[] = {
    {kCodeStatus, 4, 240},
    {kCodeCounters, 4, 356},
    {kCodeClearErrorLog, 4, kSetReplyLength},
    {kCodeErrorLog, 8, 508},
    {kCodeLink, 4, 80},
    {kCodeMib, 4, 476},
    {kCodeSetAttributes, kSingleAttributeParamLength, kSetReplyLength},
    {kCodeWriteDriverParams, kDriverParamsWriteLength, kSetReplyLength},
    {kCodeDriverParams, 8, 508},
    {kCodeWriteSerialNumber, kSerialNumberWriteLength, kSetReplyLength},
    {kCodeSerialNumber, 8, 508},
};

// Control actions 0..3 and the control values they send.
constexpr uint32_t kControlValues[] = {1, 2, 4, 0};

}  // namespace

const RequestShape* ShapeOf(uint32_t code) {
  const auto* it = std::find_if(std::begin(kShapes), std::end(kShapes),
                                [code](const RequestShape& s) { return s.code == code; });
  return it == std::end(kShapes) ? nullptr : it;
}

void ManagementRequest::WriteTo(uint8_t* buffer) const {
  StoreU32(buffer, paramLength);
  StoreU32(buffer + 4, replyLength);
  StoreU32(buffer + 8, requestCode);
  for (size_t i = 0; i < parameters.size(); ++i) {
    StoreU32(buffer + kManagementHeaderSize + 4 * i, parameters[i]);
  }
}

ManagementRequest ManagementRequest::ReadFrom(const uint8_t* buffer) {
  ManagementRequest r;
  r.paramLength = LoadU32(buffer);
  r.replyLength = LoadU32(buffer + 4);
  r.requestCode = LoadU32(buffer + 8);
  for (size_t i = 0; i < r.parameters.size(); ++i) {
    r.parameters[i] = LoadU32(buffer + kManagementHeaderSize + 4 * i);
  }
  return r;
}

ManagementRequest MakeQuery(uint32_t code, uint32_t index) {
  ManagementRequest r;
  const RequestShape* shape = ShapeOf(code);
  r.paramLength = shape ? shape->paramLength : 4;
  r.replyLength = shape ? shape->replyLength : kSetReplyLength;
  r.requestCode = code;
  if (code == kCodeErrorLog) r.parameters[0] = index;
  return r;
}

ManagementRequest MakeSetAttribute(uint32_t attribute, uint32_t value) {
  ManagementRequest r;
  r.paramLength = kSingleAttributeParamLength;
  r.replyLength = kSetReplyLength;
  r.requestCode = kCodeSetAttributes;
  r.parameters[0] = attribute;
  r.parameters[1] = value;
  return r;
}

ManagementRequest MakeSetPathTimers(uint32_t tvx_lower_bound, uint32_t t_max_lower_bound,
                                    uint32_t max_t_req) {
  ManagementRequest r;
  r.paramLength = kPathTimersParamLength;
  r.replyLength = kSetReplyLength;
  r.requestCode = kCodeSetAttributes;
  const uint32_t entries[3][2] = {{kAttrPathTvxLowerBound, tvx_lower_bound},
                                  {kAttrPathTMaxLowerBound, t_max_lower_bound},
                                  {kAttrPathMaxTReq, max_t_req}};
  for (size_t i = 0; i < 3; ++i) {
    r.parameters[3 * i] = entries[i][0];
    r.parameters[3 * i + 1] = entries[i][1];
  }
  return r;
}

int FirmwareStatusFromReply(uint32_t reply) {
  const uint32_t bits = (reply >> 24) & 3u;
  return bits == 1 || bits == 2 ? static_cast<int>(bits) : 3;
}

int ControlValueFor(int action, uint32_t* value) {
  if (action < 0 || action >= static_cast<int>(std::size(kControlValues))) return 1;
  *value = kControlValues[action];
  return 0;
}

bool DriverTooOld(bool query_ok, uint32_t vendor_id) {
  return !query_ok || (vendor_id & 0xFF000000u) < kMinimumDriverVersion;
}

}  // namespace quivera

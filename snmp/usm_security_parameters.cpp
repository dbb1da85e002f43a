#include "snmp/usm_security_parameters.h"

#include "snmp/ber_cursor.h"

namespace plovex {

namespace {

constexpr std::size_t kMaxUserName = 32;
// RFC 3411 SnmpEngineID: 5 to 32 bytes; an empty one asks for discovery.
constexpr std::size_t kMaxEngineId = 32;

}  // namespace

void AppendUsmSecurityParameters(const UsmSecurityParameters& p, std::string& out,
                                 std::size_t* auth_offset) {
  std::string content;
  ber::BerAppendElement(content, ber::kOctetString, p.EngineId);
  ber::BerAppendInteger(content, p.EngineBoots);
  ber::BerAppendInteger(content, p.EngineTime);
  ber::BerAppendElement(content, ber::kOctetString, p.UserName);
  ber::BerAppendHeader(content, ber::kOctetString, p.AuthParameters.size());
  const std::size_t auth_in_content = content.size();
  content.append(p.AuthParameters);
  ber::BerAppendElement(content, ber::kOctetString, p.PrivParameters);

  ber::BerAppendHeader(out, ber::kSequence, content.size());
  if (auth_offset != nullptr) *auth_offset = out.size() + auth_in_content;
  out.append(content);
}

Result<UsmSecurityParameters> DecodeUsmSecurityParameters(std::string_view bytes,
                                                          std::size_t* auth_offset) {
  const auto failed = [](const Status& s) { return s.WithContext("msgSecurityParameters"); };
  const auto sequence = ber::TakeOuter(bytes, ber::kSequence, true);
  if (!sequence) return failed(sequence.status());
  ber::BerCursor in(*sequence);
  const auto engine = in.Take(ber::kOctetString);
  const auto boots = in.TakeNonNegative();
  const auto time = in.TakeNonNegative();
  const auto user = in.Take(ber::kOctetString);
  const auto auth = in.Take(ber::kOctetString);
  const auto priv = in.Take(ber::kOctetString);
  const Status taken = ber::FirstFailure({engine.status(), boots.status(), time.status(),
                                          user.status(), auth.status(), priv.status()});
  if (!taken.ok()) return failed(taken);
  if (!in.AtEnd()) return failed(Status::Corruption("bytes after the privacy parameters"));
  if (engine->size() > kMaxEngineId) return failed(Status::Corruption("engine ID over 32 bytes"));
  if (user->size() > kMaxUserName) return failed(Status::Corruption("user name over 32 bytes"));
  UsmSecurityParameters p;
  p.EngineId.assign(*engine);
  p.EngineBoots = *boots;
  p.EngineTime = *time;
  p.UserName.assign(*user);
  p.AuthParameters.assign(*auth);
  p.PrivParameters.assign(*priv);
  if (auth_offset != nullptr) *auth_offset = static_cast<std::size_t>(auth->data() - bytes.data());
  return p;
}

}  // namespace plovex

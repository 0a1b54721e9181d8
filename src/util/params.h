// Request parameters: what a request type reads from its JSON document, as
// data, and the decoding that checks the document against it once, before
// any handler runs.
//
// A request type's parameters are a struct derived from Params (the structs
// of every type are in util/request_params.h) with a static `rules()`: one
// MemberRule per member the type reads, by dotted path. Every type also has
// the common members (`type`, the session's `user` object, the login's
// texts, ...; commonRules()).
//
// The checks, as the dispatcher has always made them:
//   - the document is an object (a document the reader built nothing from
//     passes here: the session check refuses it);
//   - a text member, when present, is a string, number, boolean or null;
//   - an object member, when present, is an object, and each of its members
//     is text unless a rule names it as an object (nested objects such as
//     `server`.`netIP`);
//   - a number member is a whole decimal number (optional minus sign,
//     digits); a required one that is missing is refused like a malformed one.
// The shapes are checked by decode(), which throws; the numbers are judged
// by decode() as well but refused only by checkNumbers(), which the admission
// calls after the session and permission checks, so that a caller without a
// session or right learns nothing about the members.
#pragma once

#include <json/json.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "util/members.h"

namespace korvan {

enum class MemberType { text, object };

struct MemberRule {
  // Dotted path from the document: "dogPara.id".
  const char* path;
  MemberType type;
  // Must be a whole decimal number; refused as "invalid number: NAME" with
  // the member's own name.
  bool number = false;
  // Its absence is refused (as a malformed number for a number member).
  bool required = false;
  // One line for the API reference.
  const char* meaning = "";
};
using MemberRules = std::vector<MemberRule>;

// The members every request may carry, whatever its type.
const MemberRules& commonRules();

// The decoded parameters of one request: the document (read-only; it must
// outlive this object) after its checks.
class Params {
 public:
  virtual ~Params() = default;

  // Checks `request` with `rules` and the common rules. Throws
  // CMyErr(err, "invalid request: PATH is not text|is not an object") for the
  // first member of the wrong shape; keeps the first refusal of a number
  // member, in the order of `rules`, for checkNumbers().
  void decode(const MemberRules& rules, const Json::Value& request);
  // Throws CMyErr(err, "invalid number: NAME") when decode() found a number
  // member missing or malformed; returns otherwise.
  void checkNumbers() const;

  // The request document as sent.
  const Json::Value& document() const { return *document_; }
  // The text form of the member at `path` ("" when missing; members.h).
  std::string text(MemberPath path) const { return memberText(*document_, path); }
  // The member at `path`, a null value when missing.
  const Json::Value& value(MemberPath path) const;

 private:
  const Json::Value* document_ = &null_;
  std::optional<std::string> numberRefusal_;
  static const Json::Value null_;
};

// Decodes `request` as the parameters `P` (a struct derived from Params with
// a static rules()); throws the shape refusal.
template <class P>
std::unique_ptr<Params> decodeAs(const Json::Value& request) {
  auto params = std::make_unique<P>();
  params->decode(P::rules(), request);
  return params;
}

// Whether `text` is a whole decimal number: an optional minus sign and at
// least one digit, nothing else.
bool isWholeNumber(const std::string& text);

}  // namespace korvan

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
//
// A rule may name the struct's field that receives its member (field<>()):
// decode() fills every such field once the shapes have passed, so handlers
// read typed fields and never the document. A text member fills a
// std::string (its text form, util/members.h; "" when missing) or a
// std::optional<std::string> (empty when missing), a number member a Number,
// and a member kept whole (a value stored or compared as sent) a Json::Value.
#pragma once

#include <json/json.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "util/members.h"

namespace korvan {

enum class MemberType { text, object };

class Params;

// Stores the member at a rule's path (nullptr when missing) in the field the
// rule names.
using FieldFill = void (*)(Params& params, const Json::Value* member);

// A number member: its value, or empty when it is missing or not a whole
// number. checkNumbers() refuses the empty ones of required members before a
// handler runs, so handlers read it with value(). A number beyond the range
// of long long saturates (util/number.h).
using Number = std::optional<long long>;

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
  // The field the member is decoded into, or nullptr when only its shape is
  // checked.
  FieldFill fill = nullptr;
};
using MemberRules = std::vector<MemberRule>;

// The members every request may carry, whatever its type.
const MemberRules& commonRules();

// The decoded parameters of one request: the common members as fields, the
// document (read-only; it must outlive this object) after its checks.
class Params {
 public:
  // The session: `user`.`id` and `user`.`token`.
  std::string sessionId;
  std::string sessionToken;
  // A second user id some pages send (`userID`); the session check compares
  // it with sessionId when it is present.
  std::optional<std::string> userId;
  // The address the browser reached (`serverIP`), stored by a refresh.
  std::optional<std::string> serverIp;
  // The console rights text the browser edited (`dogDB` of the parameter
  // object of the types that edit rights), as sent; null otherwise.
  Json::Value editedRights;

  virtual ~Params() = default;

  // Checks `request` with `rules` and the common rules. Throws
  // CMyErr(err, "invalid request: PATH is not text|is not an object") for the
  // first member of the wrong shape; keeps the first refusal of a number
  // member, in the order of `rules`, for checkNumbers().
  void decode(const MemberRules& rules, const Json::Value& request);
  // Throws CMyErr(err, "invalid number: NAME") when decode() found a number
  // member missing or malformed; returns otherwise.
  void checkNumbers() const;

  // The request document as sent, for the records that print it whole and
  // for change actions whose sides are its parameter objects.
  const Json::Value& document() const { return *document_; }
  // The text form of the member at `path` ("" when missing; members.h), for
  // handlers that read a member no field holds.
  std::string text(MemberPath path) const { return memberText(*document_, path); }

 private:
  const Json::Value* document_ = &null_;
  std::optional<std::string> numberRefusal_;
  static const Json::Value null_;
};

namespace detail {

template <class T>
struct FieldOf;
template <class Owner_, class Type_>
struct FieldOf<Type_ Owner_::*> {
  using Owner = Owner_;
};

void assign(std::string& field, const Json::Value* member);
void assign(std::optional<std::string>& field, const Json::Value* member);
void assign(Number& field, const Json::Value* member);
void assign(Json::Value& field, const Json::Value* member);

}  // namespace detail

// The FieldFill of the data member `target` (&SomeParams::name).
template <auto target>
void fillField(Params& params, const Json::Value* member) {
  using Owner = typename detail::FieldOf<decltype(target)>::Owner;
  detail::assign(static_cast<Owner&>(params).*target, member);
}
template <auto target>
constexpr FieldFill field() {
  return &fillField<target>;
}

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

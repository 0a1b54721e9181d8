// The JSON types of request members, checked once for every AJAX call before
// anything is changed, sent or logged.
//
// Handlers read texts with the JSON library's string conversion and
// parameter objects as objects; a member of another type would otherwise be
// read as empty (a parameter object that is an array or number) or fail half
// way. The rule per request type: the document is an object; `user` and the
// parameter objects of the type (its route's `objects`) are objects
// when present; every member of those objects, and every top-level member the
// program reads as text (`type`, `userID`, `userNM`, `pw`, ...), is a string,
// number, boolean or null. A parameter object's members are texts except the
// objects nested by name (`server`.`netIP` and `server`.`netPort` of "qt").
#pragma once

#include <json/json.h>

#include <string>
#include <vector>

// Checks `request` with `typeObjects`, the parameter objects of its type
// (nested ones by dotted path, after the object that holds them).
// Throws CMyErr(err, "invalid request: <member> is not an object|is not text")
// for the first member of the wrong type; returns when there is none.
void checkMemberTypes(const std::vector<std::string>& typeObjects, const Json::Value& request);

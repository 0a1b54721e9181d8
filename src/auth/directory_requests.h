// The requests that read, change and try the directory settings
// (administrators only).
#pragma once

#include <json/json.h>

#include "util/request_context.h"
#include "util/request_params.h"

// selDirectory: the stored settings in reply.directory, the secrets as
// "set" / "not set".
void onSelDirectory(const RequestContext& context, const korvan::NoParams& params, Json::Value& reply);

// updDirectory: checks every member of dirPara, then stores the settings
// whole with a record naming the members that changed (never a secret's
// value). A refused change stores nothing.
void onUpdDirectory(const RequestContext& context, const korvan::DirectoryParams& params,
                    Json::Value& reply);

// testDirectory: tries userNM and pw against the stored settings changed by
// dirPara (not stored) and reports each step in reply.steps, the outcome and
// the device group the person's groups map to. Nobody is logged in, nothing
// is counted or stored.
void onTestDirectory(const RequestContext& context, const korvan::DirectoryTestParams& params,
                     Json::Value& reply);

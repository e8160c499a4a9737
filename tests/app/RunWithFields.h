#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/OrvexDoc.h"

namespace orvex {

using FieldSets = std::vector<std::pair<std::string, std::string>>;

// Runs the application's command of that name on doc with its dialog
// values, each (label, value) of sets applied first, as `--set` does.
inline CommandResult RunWithFields(CCommandDispatcher& dispatcher, COrvexDoc& doc,
                                   const char* command, const FieldSets& sets = {}) {
  const CommandInfo* info = ApplicationRegistry().Find(command);
  EXPECT_NE(info, nullptr) << command;
  if (!info) return CommandResult::Unavailable;
  ParamValues values = dispatcher.DialogValues(*info, &doc);
  std::string error;
  for (const auto& set : sets) EXPECT_TRUE(values.Set(set.first, set.second, error)) << error;
  return dispatcher.Run(*info, &doc, &values).result;
}

} // namespace orvex

// orvexbox.commands(): the registry as Python data, for scripts that look
// up a command's identifier, keys or dialog fields before running it.
#include <algorithm>
#include <string>

#include <pybind11/stl.h>

#include "app/CommandRegistry.h"
#include "python/Bindings.h"

namespace py = pybind11;

namespace orvex::python {
namespace {

py::dict Field(const ParamField& param) {
  py::dict field;
  field["label"] = param.label;
  field["type"] = ParamTypeName(param.type);
  field["default"] = param.defaultValue;
  field["range"] = param.HasRange() ? py::object(py::make_tuple(param.min, param.max)) : py::none();
  if (!param.choices.empty()) field["choices"] = param.choices;
  field["read_only"] = param.readOnly;
  return field;
}

py::list Commands() {
  py::list out;
  for (const auto& command : ApplicationRegistry().Commands()) {
    const CommandInfo& info = *command;
    py::dict entry;
    entry["id"] = info.id;
    entry["name"] = info.name;
    std::string path = info.path; // as the menu shows it, without the '&' of the shortcuts
    path.erase(std::remove(path.begin(), path.end(), '&'), path.end());
    entry["path"] = path;
    entry["keys"] = info.keys;
    entry["available"] = static_cast<bool>(info.handler);
    py::list fields;
    for (const ParamField& param : info.params) fields.append(Field(param));
    entry["fields"] = fields;
    out.append(entry);
  }
  return out;
}

} // namespace

void BindCommandListing(py::module_& module) {
  module.def(
      "commands", &Commands,
      "Every registered command as a dict: id, name, path (menu path without the "
      "'&' marks, empty for commands without a menu entry), keys (accelerators), available (served "
      "without a window) and fields (label, type, default, range as (min, max) or "
      "None, choices for drop-down fields, read_only).");
}

} // namespace orvex::python

#pragma once

#include <pybind11/pybind11.h>

namespace orvex::python {

// The parts of the module, each registered by its own file.
void BindMeshArrays(pybind11::module_& module);
void BindDocument(pybind11::module_& module);
void BindCommandListing(pybind11::module_& module);

// orvexbox.CommandError, made by the module entry.
pybind11::object CommandErrorType();

} // namespace orvex::python

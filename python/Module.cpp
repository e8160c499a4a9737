// The orvexbox module: the workbench's documents and commands for Python
// scripts. Every C++ exception is turned into a Python exception with the
// workbench's own message at this boundary; none ends the interpreter.
#include <new>

#include <pybind11/pybind11.h>

#include "app/CommandFailure.h"
#include "python/Bindings.h"

namespace py = pybind11;

namespace orvex::python {

namespace {
// Set once at import and kept for the life of the process (a Python object
// held by a C++ global would be released after the interpreter ends).
PyObject* g_CommandError = nullptr;
} // namespace

py::object CommandErrorType() {
  return py::reinterpret_borrow<py::object>(g_CommandError);
}

void SetCommandErrorType(py::handle type) {
  g_CommandError = type.inc_ref().ptr();
}

} // namespace orvex::python

PYBIND11_MODULE(orvexbox, module) {
  using namespace orvex::python;
  module.doc() = "3d OrvexBox from Python: open meshes and scenes, run the workbench's "
                 "commands, read and add meshes as NumPy arrays, render snapshots offscreen.";
  py::module_::import("numpy");
  py::exception<std::exception> commandError(module, "CommandError");
  SetCommandErrorType(commandError);
  commandError.attr("__doc__") =
      "A command was unknown, unavailable, refused a field value, failed or was cancelled; "
      "the message says which and why.";
  // memory running out is the workbench's own message, as a MemoryError
  py::register_exception_translator([](std::exception_ptr error) {
    try {
      if (error) std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
      PyErr_SetString(PyExc_MemoryError, orvex::ExceptionMessage(error).c_str());
    }
  });
  BindMeshArrays(module);
  BindDocument(module);
  BindCommandListing(module);
}

// orvexbox.Document: a document opened or made by a script, commands run
// through the single dispatcher as the batch runner runs them, undo, save,
// the scene's meshes as arrays and snapshots rendered offscreen.
#include "python/ScriptDocument.h"

#include <filesystem>
#include <system_error>

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include "app/CommandOutcome.h"
#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/OrvexDoc.h"
#include "app/TerminalUserInterface.h"
#include "app/UndoHistory.h"
#include "app/offscreen/Snapshot.h"
#include "geometry/Mesh3d.h"
#include "python/Bindings.h"
#include "python/MeshArrays.h"

namespace py = pybind11;

namespace orvex::python {

void CScriptUserInterface::ShowMessage(const std::string& text, const std::string& title) {
  m_Messages.push_back(title.empty() ? text : title + ": " + text);
}

bool CScriptUserInterface::AskYesNo(const std::string&) {
  const bool yes = m_AnswerYes || m_AnswerNextYes;
  m_AnswerNextYes = false;
  return yes;
}

bool CScriptUserInterface::AskColor(CColor& color) {
  if (!m_ColorAnswer) return false;
  color = *m_ColorAnswer;
  return true;
}

ScriptDocument::ScriptDocument(bool yes)
    : m_Dispatcher(std::make_unique<CCommandDispatcher>(ApplicationRegistry(), m_UI, &m_Host)) {
  m_UI.m_AnswerYes = yes;
}

ScriptDocument::~ScriptDocument() = default;

// A missing file is an OSError, a file the readers refuse a ValueError,
// both with the reason.
void ScriptDocument::Open(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    PyErr_SetFromErrnoWithFilename(PyExc_FileNotFoundError, path.c_str());
    throw py::error_already_set();
  }
  m_Doc = m_Host.OpenDocumentFile(path);
  if (!m_Doc) throw py::value_error("cannot open " + path + ": " + m_Host.GetLastError());
}

void ScriptDocument::New() {
  m_Doc = m_Host.NewDocument();
}

BusyGuard::BusyGuard(ScriptDocument& doc) : m_Doc(doc) {
  if (m_Doc.m_Busy.exchange(true))
    throw std::runtime_error("this document is in use by another thread; use one document per "
                             "thread or wait for the other call to return");
}

BusyGuard::~BusyGuard() {
  m_Doc.m_Busy = false;
}

namespace {

[[noreturn]] void RaiseCommandError(const std::string& message) {
  PyErr_SetString(CommandErrorType().ptr(), message.c_str());
  throw py::error_already_set();
}

// The document's status lines, given to on_status or, without one, to the
// "orvexbox" logger (never to standard output).
void FlushStatus(ScriptDocument& doc) {
  std::vector<std::string> lines;
  lines.swap(doc.m_UI.m_Status);
  if (lines.empty()) return;
  py::object logger;
  for (const std::string& line : lines) {
    if (!doc.m_OnStatus.is_none()) {
      doc.m_OnStatus(line);
      continue;
    }
    if (!logger) logger = py::module_::import("logging").attr("getLogger")("orvexbox");
    logger.attr("info")(line);
  }
}

COrvexDoc& Current(ScriptDocument& doc) {
  if (!doc.m_Doc) throw std::runtime_error("the document was closed by a command");
  return *doc.m_Doc;
}

// Builds what meshes added from arrays still lack; called by every method
// that lets the workbench use the scene. Nothing else runs between the add
// and this call, so the meshes are still in the scene.
void FinishAddedMeshes(ScriptDocument& doc) {
  if (doc.m_Unfinished.empty()) return;
  py::gil_scoped_release release;
  for (CMesh3d* mesh : doc.m_Unfinished) mesh->Rebuild();
  doc.m_Unfinished.clear();
}

// A Python value as the text a dialog field takes: check boxes "on"/"off",
// numbers as Python writes them, a colour as "R G B".
std::string FieldText(const py::handle& value) {
  if (py::isinstance<py::bool_>(value)) return value.cast<bool>() ? "on" : "off";
  if (py::isinstance<py::str>(value)) return value.cast<std::string>();
  if (py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value))
    return py::repr(value).cast<std::string>();
  if (py::isinstance<py::tuple>(value) || py::isinstance<py::list>(value)) {
    std::string text;
    for (const py::handle item : value) text += (text.empty() ? "" : " ") + FieldText(item);
    return text;
  }
  throw py::type_error("a field value must be a bool, a number, a string or a colour tuple, "
                       "not " +
                       py::str(value.get_type().attr("__name__")).cast<std::string>());
}

// The colour chooser's answer: a "Color" the dialog has no field for.
bool IsColorAnswer(const ParamValues& values, const std::string& label) {
  return !values.Has(label) && ParamValues({TextParam(kColorAnswerLabel, "")}).Has(label);
}

// A keyword argument names a field by its label with '_' for the blanks.
std::string FieldLabel(const ParamValues& values, std::string label) {
  if (values.Has(label)) return label;
  for (char& c : label)
    if (c == '_') c = ' ';
  return label;
}

// Fills the dialog from fields then keywords; a relative file name starts
// from the current folder, as on the batch runner's command line.
void FillFields(ScriptDocument& doc, const CommandInfo& info, ParamValues& values,
                const py::dict& given) {
  doc.m_UI.m_ColorAnswer.reset();
  for (const auto& item : given) {
    const std::string label = FieldLabel(values, py::str(item.first).cast<std::string>());
    std::string text = FieldText(item.second), error;
    if (IsColorAnswer(values, label)) {
      CColor color;
      if (!ParseColorAnswer(text, color, error)) RaiseCommandError(info.Label() + ": " + error);
      doc.m_UI.m_ColorAnswer = color;
      continue;
    }
    const int i = values.IndexOf(label);
    if (i >= 0 && NamesAFile(values.Fields()[size_t(i)]) && !text.empty()) {
      std::error_code ec;
      const auto absolute = std::filesystem::absolute(text, ec);
      if (!ec) text = absolute.string();
    }
    if (!values.Set(label, text, error)) RaiseCommandError(info.Label() + ": " + error);
  }
}

// Runs a command on the document with the interpreter's lock released and
// returns its last status line; CommandError when it did not run, failed
// or was cancelled.
std::string RunCommand(ScriptDocument& doc, const std::string& command, const py::dict& given) {
  BusyGuard busy(doc);
  FinishAddedMeshes(doc);
  const CommandInfo* info = ApplicationRegistry().Find(command);
  if (!info) RaiseCommandError("unknown command \"" + command + "\"");
  COrvexDoc* target = info->needsDocument ? &Current(doc) : doc.m_Doc;
  ParamValues values = doc.m_Dispatcher->DialogValues(*info, target);
  FillFields(doc, *info, values, given);
  doc.m_UI.m_Messages.clear();
  CCommandOutcome outcome;
  {
    py::gil_scoped_release release;
    outcome = doc.m_Dispatcher->Run(*info, target, &values);
  }
  // File/Close or File/New change the document the next command works on:
  // the most recent one, as in the batch runner
  const auto& documents = doc.m_Host.Documents();
  doc.m_Doc = documents.empty() ? nullptr : documents.back().get();
  const std::string last = outcome.statusLines.empty() ? "" : outcome.statusLines.back();
  FlushStatus(doc);
  switch (outcome.result) {
  case CommandResult::Done:
  case CommandResult::NothingDone:
    return last;
  case CommandResult::Unavailable:
    RaiseCommandError(outcome.error.empty() ? "\"" + info->Label() + "\" is not available"
                                            : outcome.error);
  case CommandResult::Failed:
  case CommandResult::Cancelled:
    break;
  }
  std::string message = "\"" + info->Label() + "\" " + ResultName(outcome.result);
  for (const std::string& text : doc.m_UI.m_Messages) message += ": " + text;
  RaiseCommandError(message);
}

void Save(ScriptDocument& doc, const std::string& path) {
  BusyGuard busy(doc);
  COrvexDoc& d = Current(doc);
  FinishAddedMeshes(doc);
  std::error_code ec;
  const auto absolute = std::filesystem::absolute(path, ec);
  doc.m_UI.m_AnswerNextYes = true; // the call is the user's answer to the save question
  const int saved = d.SaveByExtension(ec ? path : absolute.string());
  doc.m_UI.m_AnswerNextYes = false;
  FlushStatus(doc);
  if (!saved) {
    PyErr_SetString(PyExc_OSError, ("cannot save " + path + ": " + d.GetLastError()).c_str());
    throw py::error_already_set();
  }
}

// The scene as a default render view shows it, through Mesa's software
// renderer without a display. The lock stays held: contexts are made and
// released by the calling thread only.
py::object Snapshot(ScriptDocument& doc, const py::object& path, int width, int height) {
  BusyGuard busy(doc);
  COrvexDoc& d = Current(doc);
  constexpr int kMaxSide = 16384;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    throw py::value_error("the snapshot size must be 1 .. 16384 pixels each way, not " +
                          std::to_string(width) + " x " + std::to_string(height));
  FinishAddedMeshes(doc);
  const CRenderViewState& view = *doc.m_Host.ActiveViewState(&d);
  std::string error;
  if (!path.is_none()) {
    const std::string file = py::str(path).cast<std::string>();
    if (!WriteSnapshot(d, view, width, height, file, error)) {
      PyErr_SetString(PyExc_OSError, ("cannot write the snapshot " + file + ": " + error).c_str());
      throw py::error_already_set();
    }
    return py::none();
  }
  CRgbImage image;
  if (!RenderSnapshot(d, view, width, height, image, error))
    throw std::runtime_error("cannot render the snapshot: " + error);
  py::array_t<uint8_t> pixels(
      {py::ssize_t(image.m_Height), py::ssize_t(image.m_Width), py::ssize_t(3)});
  std::copy(image.m_Pixels.begin(), image.m_Pixels.end(), pixels.mutable_data());
  return std::move(pixels);
}

// Adds a triangle mesh as the scene's last object. Steps recorded before
// know nothing of it, so the undo history starts again from here.
int Add(ScriptDocument& doc, const ScriptMesh& mesh) {
  BusyGuard busy(doc);
  COrvexDoc& d = Current(doc);
  std::unique_ptr<CMesh3d> built = MeshFromArrays(mesh);
  doc.m_Unfinished.push_back(built.get());
  const int index = d.m_SceneGraph.Add(built.release());
  d.UndoHistory().Clear();
  d.SetModifiedFlag();
  doc.m_Host.ActiveViewState(&d)->FrameScene(d.m_SceneGraph);
  return index;
}

py::list Objects(ScriptDocument& doc) {
  BusyGuard busy(doc);
  COrvexDoc& d = Current(doc);
  py::list out;
  for (int i = 0; i < d.m_SceneGraph.NbObject(); i++) {
    const CObjectProperties p = d.GetObjectProperties(i);
    out.append(py::make_tuple(p.m_Type, p.m_NbVertex, p.m_NbFace));
  }
  return out;
}

ScriptMesh Mesh(ScriptDocument& doc, int i) {
  BusyGuard busy(doc);
  COrvexDoc& d = Current(doc);
  if (i < 0) i += d.m_SceneGraph.NbObject();
  if (i < 0 || i >= d.m_SceneGraph.NbObject())
    throw py::index_error("object index out of range (the scene has " +
                          std::to_string(d.m_SceneGraph.NbObject()) + " objects)");
  return MeshToArrays(*d.m_SceneGraph.GetAt(i));
}

std::unique_ptr<ScriptDocument> OpenDocument(const std::string& path, bool yes) {
  auto doc = std::make_unique<ScriptDocument>(yes);
  doc->Open(path);
  FlushStatus(*doc);
  return doc;
}

} // namespace

void BindDocument(py::module_& module) {
  py::class_<ScriptDocument>(module, "Document",
                             "A document: one scene, its undo history and its default view. "
                             "Made by orvexbox.open or orvexbox.new. One thread at a time may "
                             "use a document; two documents may work on two threads at once.")
      .def(
          "run",
          [](ScriptDocument& doc, const std::string& command, const py::object& fields,
             const py::kwargs& kwargs) {
            py::dict given;
            if (!fields.is_none())
              for (const auto& item : py::dict(fields)) given[item.first] = item.second;
            for (const auto& item : kwargs) given[item.first] = item.second;
            return RunCommand(doc, command, given);
          },
          py::arg("command"), py::arg("fields") = py::none(),
          "Runs a command given by menu path (\"Algorithms/Surface subdivision/Loop/Std\"), "
          "its last segments (\"Loop/Std\"), its name or its identifier, as orvexbox-batch "
          "--run takes them. Dialog fields are given by label in the fields dict, or as "
          "keywords (underscores for blanks); bools give check boxes, numbers and strings "
          "their text, (r, g, b) the colour a chooser asks for. Returns the last status line; "
          "raises CommandError when the command is unknown, unavailable, refused a value, "
          "failed or was cancelled. The interpreter lock is released while it runs.")
      .def(
          "undo", [](ScriptDocument& doc) { return RunCommand(doc, "Edit/Undo", py::dict()); },
          "Undoes the last command that changed the scene (Edit/Undo); CommandError when "
          "there is nothing to undo.")
      .def(
          "redo", [](ScriptDocument& doc) { return RunCommand(doc, "Edit/Redo", py::dict()); },
          "Redoes the last undone command (Edit/Redo); CommandError when there is none.")
      .def("save", &Save, py::arg("path"),
           "Saves the scene by the file's extension; OSError with the reason on failure.")
      .def("snapshot", &Snapshot, py::arg("path") = py::none(), py::arg("width") = 640,
           py::arg("height") = 480,
           "Renders the scene as a new render view shows it, without a display. Writes a PNG "
           "file when path is given, else returns a height x width x 3 uint8 array.")
      .def("add", &Add, py::arg("mesh"),
           "Appends a triangle mesh (Mesh.from_arrays) to the scene and returns its object "
           "index. The undo history is cleared. The mesh's adjacency and normals are built "
           "by the next call that uses the scene (run, undo, redo, save, snapshot).")
      .def("mesh", &Mesh, py::arg("index"),
           "The scene object at index as a Mesh of NumPy arrays (copies).")
      .def_property_readonly("objects", &Objects,
                             "The scene's objects as (type code, vertices, faces) tuples.")
      .def_property_readonly(
          "path", [](ScriptDocument& doc) { return Current(doc).GetPathName(); },
          "The document's file; empty for a new document.")
      .def_property(
          "on_status", [](ScriptDocument& doc) { return doc.m_OnStatus; },
          [](ScriptDocument& doc, py::object fn) { doc.m_OnStatus = std::move(fn); },
          "Called with each status line; None (the default) sends them to the \"orvexbox\" "
          "logger at INFO level.");

  module.def("open", &OpenDocument, py::arg("path"), py::arg("yes") = false,
             "Opens a mesh or scene file into a new Document. yes=True answers yes to the "
             "questions commands ask. FileNotFoundError for a missing file, ValueError with "
             "the reader's reason for a file it refuses.");
  module.def(
      "new",
      [](bool yes) {
        auto doc = std::make_unique<ScriptDocument>(yes);
        doc->New();
        return doc;
      },
      py::arg("yes") = false, "A new empty Document.");
}

} // namespace orvex::python

// "File/Export/eps" and "bmp", "Edit/Copy", "Edit/Window metafile" and
// "Window/AVI": the view as a PostScript file, a bitmap, a picture on the
// clipboard, the first mesh as an SVG picture, and a video of the window.
// The pictures come from the active view (the batch runner's default view,
// rendered offscreen, when there is no window). A file the batch runner
// names with --set "File=..." replaces each command's default name.

#include <cstdio>
#include <string>

#include "app/CaptureClientPixels.h"
#include "app/Dialogs.h"
#include "app/DocumentHost.h"
#include "app/EpsExport.h"
#include "app/ExportView.h"
#include "app/commands/Handlers.h"
#include "geometry/Mesh3d.h"
#include "io/WriteBmp.h"
#include "io/WriteSvg.h"
#include "processing/MetafileExport.h"

namespace orvex {
namespace {

constexpr const char* kFileField = kExportFileField;
// The command that ends a recording as numbered PNG files.
constexpr const char* kWritePngFrames = "Write PNG frames";

CRenderViewState* ActiveView(CCommandContext& context) {
  return context.host && context.doc ? context.host->ActiveViewState(context.doc) : nullptr;
}

CommandResult Fail(CCommandContext& context, const std::string& message) {
  context.ui.ShowMessage(message);
  return CommandResult::Failed;
}

// The output file: the name given (file dialog or --set), beside the
// document when relative.
std::string OutputFile(CCommandContext& context, const std::string& name) {
  return context.doc->OutputPath(name);
}

// The view's picture, read from its context (rendered first without a
// window).
bool ViewPicture(CCommandContext& context, CRgbImage& image, std::string& error) {
  if (!context.host) {
    error = "No view to read";
    return false;
  }
  return context.host->RunInViewContext(
      context.doc, true,
      [&image](const CRenderViewState& view, std::string& why) {
        if (CaptureClientPixels(view.m_Width, view.m_Height, image)) return true;
        why = "The view has no pixels";
        return false;
      },
      error);
}

CommandResult ExportEps(CCommandContext& context) {
  std::string name = context.params.Text(kFileField);
  if (!context.ui.AskExportFileName(name, "EPS Files (*.eps)")) return CommandResult::Cancelled;
  if (!context.host) return Fail(context, "No view to export");
  // feedback of the view, then the file
  CFeedbackScene scene;
  CEpsPage page;
  std::string error;
  const COrvexDoc& doc = *context.doc;
  if (!context.host->RunInViewContext(
          context.doc, false,
          [&](const CRenderViewState& view, std::string& why) {
            return CaptureFeedback(doc, view, scene, page, why);
          },
          error))
    return Fail(context, error);
  const std::string path = OutputFile(context, name);
  if (!EpsWriter(page).Write(path, scene, error)) return Fail(context, error);
  context.ReportFileWritten(path);
  context.ui.StatusMessage("EPS written (%d primitives, %g s)", int(scene.primitives.size()),
                           context.ElapsedSeconds());
  return CommandResult::Done;
}

CommandResult ExportBmp(CCommandContext& context) {
  std::string name = context.params.Text(kFileField);
  if (!context.ui.AskExportFileName(name, "Bitmap Files (*.bmp)")) return CommandResult::Cancelled;
  CRgbImage image;
  std::string error;
  if (!ViewPicture(context, image, error)) return Fail(context, error);
  const std::string path = OutputFile(context, name);
  if (!WriteBmp24(path, image, error)) return Fail(context, error);
  context.ReportFileWritten(path);
  context.ui.StatusMessage("Bitmap written (%d x %d)", image.m_Width, image.m_Height);
  return CommandResult::Done;
}

CommandResult Copy(CCommandContext& context) {
  CRgbImage image;
  std::string error;
  if (!ViewPicture(context, image, error)) return Fail(context, error);
  context.ui.SetClipboardImage(image);
  return CommandResult::Done;
}

// Object 0 when it is a triangle mesh.
CMesh3d* FirstObjectMesh(CCommandContext& context) {
  CObject3d* object = context.doc->m_SceneGraph.GetAt(0);
  return object && object->GetType() == TYPE_MESH3D ? static_cast<CMesh3d*>(object) : nullptr;
}

// The picture to its file and to the clipboard.
CommandResult FinishPicture(CCommandContext& context, const CVectorPicture& picture, int drawn) {
  const std::string path = OutputFile(context, context.params.Text(kFileField));
  std::string error;
  if (!WriteSvg(path, picture, error)) return Fail(context, error);
  context.ReportFileWritten(path);
  context.ui.SetClipboardPicture(picture);
  context.ui.StatusMessage("MetaFile written (%d elements)", drawn);
  return CommandResult::Done;
}

} // namespace

CommandResult ExportMeshPicture(CCommandContext& context, CMesh3d* mesh, MetafileVariant variant) {
  CRenderViewState* view = ActiveView(context);
  if (!mesh || !view) return NoMesh(context);
  // the front faces are those the active view's camera sees
  const CVector3d camera = variant == MetafileVariant::FrontFaceLines
                               ? ProcessCamera(context)
                               : context.doc->m_Camera.m_Position;
  CVectorPicture picture;
  const int drawn = MetafileExport(*mesh, VectorViewOf(*view), variant, camera, picture);
  return FinishPicture(context, picture, drawn);
}

namespace {

CommandHandler Metafile(MetafileVariant variant) {
  return [variant](CCommandContext& context) {
    return ExportMeshPicture(context, FirstObjectMesh(context), variant);
  };
}

// "#RRGGBB" (or "RRGGBB") as a colour; false when it is not one.
bool ParseHexColor(const std::string& text, CColor& color) {
  std::string digits = text.size() == 7 && text[0] == '#' ? text.substr(1) : text;
  if (digits.size() != 6 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    return false;
  const unsigned long value = std::stoul(digits, nullptr, 16);
  color.Set((unsigned char)(value >> 16), (unsigned char)(value >> 8), (unsigned char)value);
  return true;
}

void SetRampPreset(CColorRamp& ramp, int preset) {
  switch (preset) {
  case 1:
    ramp.SetRainbow();
    break;
  case 2:
    ramp.SetBlueWhite();
    break;
  case 3:
    ramp.SetHeat();
    break;
  case 4:
    ramp.SetRedYellow();
    break;
  default:
    ramp.SetGray();
    break;
  }
}

// The dialog's values; false with the label of a colour that is not one.
bool ReadParameters(const ParamValues& values, CMetafileParameters& out, std::string& error) {
  out.mode = MetafileMode(values.Choice(kMetafileModeField));
  struct {
    const char* label;
    CColor* color;
  } colors[] = {{"Face", &out.face},
                {"Line", &out.line},
                {"Back", &out.back},
                {"Front silhouette", &out.frontSilhouette},
                {"Back silhouette", &out.backSilhouette}};
  for (const auto& c : colors)
    if (!ParseHexColor(values.Text(c.label), *c.color)) {
      error = std::string(c.label) + ": \"" + values.Text(c.label) + "\" is not a colour #RRGGBB";
      return false;
    }
  SetRampPreset(out.ramp, values.Choice(kMetafileRampField));
  return true;
}

CommandResult MetafileParameters(CCommandContext& context) {
  if (!context.doc) return Fail(context, "No active document");
  CMetafileParameters parameters;
  std::string error;
  if (!ReadParameters(context.params, parameters, error)) return Fail(context, error);
  CMesh3d* mesh = FirstObjectMesh(context);
  CRenderViewState* view = ActiveView(context);
  if (!mesh || !view) return NoMesh(context);
  // the mode's marks from the document's camera, then the drawing
  PrepareMetafileMarks(*mesh, parameters.mode, context.doc->m_Camera.m_Position);
  const CTextureImage* texture = context.doc->m_SceneGraph.GetTexture(mesh->m_IndexTexture);
  CVectorPicture picture;
  const int drawn = MetafileRun(*mesh, VectorViewOf(*view), parameters, texture, picture);
  if (drawn < 0) {
    context.ui.SetStatusText("No texture on the first mesh: no texture request map");
    return CommandResult::NothingDone;
  }
  return FinishPicture(context, picture, drawn);
}

// Window/AVI
CommandResult AviInit(CCommandContext& context) {
  CRgbImage frame;
  std::string error;
  if (!context.host || !context.host->GrabFrame(context.doc, frame, error))
    return Fail(context, error.empty() ? "No window to record" : error);
  CAviRecorder& recorder = context.host->AviRecorder();
  if (!recorder.Open(frame.m_Width, frame.m_Height))
    return Fail(context, "Window too small to record");
  recorder.Add(frame);
  context.ui.StatusMessage("AVI: recording %d x %d, frame 1", recorder.Width(), recorder.Height());
  return CommandResult::Done;
}

CommandResult AviAddFrame(CCommandContext& context) {
  if (!context.host || !context.host->AviRecorder().IsOpen()) return CommandResult::NothingDone;
  CAviRecorder& recorder = context.host->AviRecorder();
  if (recorder.FrameCount() >= CAviRecorder::kMaxFrames) {
    context.ui.StatusMessage("AVI: %d frames already, frame ignored", CAviRecorder::kMaxFrames);
    return CommandResult::NothingDone;
  }
  CRgbImage frame;
  std::string error;
  if (!context.host->GrabFrame(context.doc, frame, error)) return Fail(context, error);
  recorder.Add(frame);
  context.ui.StatusMessage("AVI: frame %d", recorder.FrameCount());
  return CommandResult::Done;
}

CommandResult AviWrite(CCommandContext& context) {
  if (!context.host || !context.host->AviRecorder().IsOpen()) return CommandResult::NothingDone;
  CAviRecorder& recorder = context.host->AviRecorder();
  const int frames = recorder.FrameCount();
  const std::string path = OutputFile(context, context.params.Text(kFileField));
  std::string error;
  if (!recorder.Write(path, error)) return Fail(context, error);
  context.ReportFileWritten(path);
  context.ui.StatusMessage("AVI written (%d frames, %g s)", frames, context.ElapsedSeconds());
  return CommandResult::Done;
}

CommandResult AviWritePngFrames(CCommandContext& context) {
  if (!context.host || !context.host->AviRecorder().IsOpen()) return CommandResult::NothingDone;
  CAviRecorder& recorder = context.host->AviRecorder();
  const int frames = recorder.FrameCount();
  const std::string pattern = OutputFile(context, "video_%04d.png");
  std::string error;
  const int written = recorder.WritePngFrames(pattern, error);
  for (int i = 0; i < written; i++) {
    char name[4096];
    std::snprintf(name, sizeof(name), pattern.c_str(), i);
    context.ReportFileWritten(name);
  }
  if (written < frames) return Fail(context, error);
  context.ui.StatusMessage("%d PNG frames written", written);
  return CommandResult::Done;
}

CommandResult AviResize(CCommandContext& context) {
  if (context.host && context.host->ResizeFrameFourThirds()) return CommandResult::Done;
  context.ui.SetStatusText("No main window to resize");
  return CommandResult::NothingDone;
}

} // namespace

std::vector<CommandBinding> CaptureCommands() {
  constexpr Effects kMarks = kEffectFiles | kEffectAttributes;
  const char* meta = "&Edit/Window metafile/";
  auto at = [meta](const char* item) { return std::string(meta) + item; };
  return {
      CommandBinding("&File/Export/eps", ExportEps, kEffectFiles),
      CommandBinding("&File/Export/bmp", ExportBmp, kEffectFiles, Redraw::None),
      CommandBinding("&Edit/&Copy", Copy, kEffectFiles, Redraw::None),
      CommandBinding(at("Generate MetaFile"), Metafile(MetafileVariant::Lines), kMarks),
      CommandBinding(at("Generate MetaFile (front faces only)"),
                     Metafile(MetafileVariant::FrontFaceLines), kMarks),
      CommandBinding(at("Generate MetaFile (face mode)"), Metafile(MetafileVariant::Faces), kMarks),
      CommandBinding(at("Parameters..."), MetafileParameters, kMarks),
      CommandBinding("&Window/AVI/Init", AviInit, kEffectNone, Redraw::None),
      CommandBinding("&Window/AVI/Add frame", AviAddFrame, kEffectNone, Redraw::None),
      CommandBinding("&Window/AVI/Write", AviWrite, kEffectFiles, Redraw::None),
      CommandBinding("&Window/AVI/Resize 4/3", AviResize, kEffectFrame, Redraw::None),
      CommandBinding(kWritePngFrames, AviWritePngFrames, kEffectFiles, Redraw::None),
  };
}

} // namespace orvex

// Dialogs of the commands: title, fields (label, kind, default, range) and
// the defaults that depend on the scene. Fields whose dialog shows the same
// label twice carry their group in parentheses so that each can be set by
// name.

#include "app/Dialogs.h"

#include "app/CommandRegistry.h"
#include "app/OrvexDoc.h"
#include "app/commands/ValenceDialog.h"
#include "geometry/Mesh3d.h"
#include "processing/ApproximationCommands.h"
#include "processing/MetafileExport.h"

namespace orvex {

std::vector<ParamField> SamplingDialogFields() {
  return {IntegerParam("Width", 50, 1, 10000), IntegerParam("Height", 50, 1, 10000),
          CheckParam("Use color", true), CheckParam("Quad mesh", false)};
}

const std::vector<std::string>& RampPresetNames() {
  static const std::vector<std::string> kNames = {"Gray", "Rainbow", "Blue white", "Heat",
                                                  "Red yellow"};
  return kNames;
}

std::vector<ParamField> MetafileParameterFields() {
  std::vector<std::string> modes(kMetafileModeNames, kMetafileModeNames + kMetafileModeCount);
  return {ChoiceParam(kMetafileModeField, modes, int(MetafileMode::Faces)),
          TextParam("Face", "#FFFFFF"),
          TextParam("Line", "#000000"),
          TextParam("Back", "#808080"),
          TextParam("Front silhouette", "#FF0000"),
          TextParam("Back silhouette", "#C8C8C8"),
          ChoiceParam(kMetafileRampField, RampPresetNames(), 0),
          CommandLineParam(kExportFileField, kMetafileFile)};
}

namespace {

const std::vector<std::string> kPotential = {"Edge length", "Curveness"};
const std::vector<std::string> kMethod = {"Random", "Priority queue", "Global optimization"};

std::vector<ParamField> MultipleSmooth() {
  return {IntegerParam("Iterations", 1, 1, 999), CheckParam("Move boundaries", true),
          CheckParam("Duplicate in scene graph", false)};
}

std::vector<ParamField> Iterations() {
  return {IntegerParam("Iterations", 4)};
}

std::vector<ParamField> V3Subdivision() {
  return {CheckParam("Flip edges (rotation)", true),
          CheckParam("Smooth", true),
          CheckParam("Visual debugging", true),
          CheckParam("Adaptative mode", false),
          RealParam("Ratio", 0.2),
          IntegerParam("Seed", 0),
          IntegerParam("# iters", 1),
          RealParam("dec. ratio", 0.8),
          CheckParam("Piecewise", false),
          RealParam("Sharp", 40.0),
          RealParam("Flat", 5.0),
          CheckParam("Split sharp edges", true)};
}

std::vector<ParamField> EdgeBased() {
  return {ShownParam("Initial", 0),
          IntegerParam("Final", 0),
          ChoiceParam("Edge length / Curveness", kPotential, 1),
          CheckParam("Combination", true),
          CheckParam("Optimized position", true),
          CheckParam("Collapse boundaries", false),
          RealParam("Sharp edge", 0.5),
          RealParam("Alpha init", 0.1),
          RealParam("Alpha step", 0.1),
          CheckParam("Update", true),
          IntegerParam("Frequency (updating)", 100),
          CheckParam("Save", false),
          IntegerParam("Frequency (intermediate file)", 0)};
}

std::vector<ParamField> ErrorAccumulation() {
  return {ShownParam("Initial", 0), IntegerParam("Final", 0), CheckParam("Visual debugging", true),
          IntegerParam("Update each", 0)};
}

std::vector<ParamField> FaceBased() {
  return {ShownParam("Initial", 0),
          IntegerParam("Final", 0),
          CheckParam("Visual debugging", false),
          IntegerParam("Update each", 0),
          CheckParam("Flag for multiple face collapse", false),
          CheckParam("Build smooth geomorph", false),
          IntegerParam("# stages", 1),
          IntegerParam("# steps", 20)};
}

std::vector<ParamField> ProgressiveMeshes() {
  return {ShownParam("Initial (vertices)", 0),
          IntegerParam("Final", 0),
          RealParam("Epsilon", 0.0001),
          IntegerParam("Max iter", 50),
          RealParam("Spring", 0.01),
          RealParam("Initial (step)", 1.0),
          RealParam("Increase factor", 1.5),
          RealParam("Decrease factor", 0.1),
          RealParam("Max", 5.0),
          RealParam("Min", 0.01),
          RealParam("Sharp threshold", 0.6),
          IntegerParam("Size hash table", 20, 1, kHashSizeMax),
          CheckParam("Update iterations", true),
          IntegerParam("Update frequency", 1, 1, 100)};
}

std::vector<ParamField> VolumeBasedMetric() {
  return {IntegerParam("Model", 1, 0, 1e9),
          IntegerParam("Reference", 0, 0, 1e9),
          ShownParam("Initial", 0),
          IntegerParam("Final", 0),
          ChoiceParam("Random / Priority queue / Global optimization", kMethod, 2),
          ChoiceParam("Edge length / Curveness", kPotential, 0),
          IntegerParam("Samples per face", 40, 1, 10000),
          RealParam("Epsilon", 0.00001),
          IntegerParam("Max iter", 400),
          RealParam("Initial (edge %)", 0.1),
          RealParam("Min (edge %)", 0.01),
          RealParam("Decrease factor", 0.9),
          IntegerParam("Decrease after", 0),
          RealParam("Sharp edge", 0.5),
          CheckParam("Collapse boundaries", false),
          CheckParam("Initalize using Hausdorff", false),
          CheckParam("Use hash table", false),
          IntegerParam("Hash table", 10, 1, kHashSizeMax),
          IntegerParam("Nb face (search)", 10),
          CheckParam("Smooth", false),
          IntegerParam("Iteration", 0, 0, 1e9),
          CheckParam("Move boundaries", false),
          CheckParam("Save intermediate", true),
          IntegerParam("Each (decimation)", 10),
          IntegerParam("Each (optimisation)", 3),
          CheckParam("Update iterations", true)};
}

std::vector<ParamField> Unmeshing() {
  return {IntegerParam("Seed face", 0, 0, 1e9),
          CheckParam("Unmesh (Along)", true),
          CheckParam("Debug (Along)", false),
          IntegerParam("Period (Along)", 1, 1, 10000),
          RealParam("Ratio", 0.5, 0.1, 0.9),
          CheckParam("Unmesh (Across)", true),
          CheckParam("Debug (Across)", false),
          IntegerParam("Period (Across)", 1, 1, 10000),
          CheckParam("Across first", true),
          CheckParam("Copy to scenegraph", false),
          CheckParam("Color faces from wavefront", false),
          CheckParam("Smooth geomorph", false)};
}

std::vector<ParamField> Tiling() {
  return {IntegerParam("Vertex seed", 0, 0, 1e9),    CheckParam("Split polygons", false),
          CheckParam("Multi-mesh", false),           IntegerParam("Multi-mesh (first)", 0),
          IntegerParam("Multi-mesh (last)", 20),     CheckParam("Retain min # tiles", false),
          CheckParam("Generate mesh", false),        CheckParam("Recursive mesh", false),
          IntegerParam("Recursive mesh (levels)", 3)};
}

std::vector<ParamField> Map() {
  return {IntegerParam("nx", 10, 1, 10000), IntegerParam("nz", 10, 1, 10000),
          RealParam("Min", -4.0), RealParam("Max", 4.0)};
}

// Vertex count of scene object index when it is a triangle mesh, else of
// object 0, else 0 (the volume-based dialog names object 1, which a scene
// of one object does not have).
int VertexCountOf(const COrvexDoc& doc, int index) {
  CObject3d* object = doc.m_SceneGraph.GetAt(index);
  if (!object || object->GetType() != TYPE_MESH3D) object = doc.m_SceneGraph.GetAt(0);
  if (!object || object->GetType() != TYPE_MESH3D) return 0;
  return static_cast<CMesh3d*>(object)->NbVertex();
}

int FaceCountOfFirst(const COrvexDoc& doc) {
  CMesh3d* mesh = doc.GetFirstMesh();
  return mesh ? mesh->NbFace() : 0;
}

void InitialAndHalf(ParamValues& values, const char* initial, int count) {
  values.SetDefault(initial, std::to_string(count));
  values.SetDefault("Final", std::to_string(count / 2));
}

void SetDialog(CCommandRegistry& registry, const std::string& path, const char* title,
               std::vector<ParamField> fields, DefaultsFiller defaults = nullptr) {
  registry.SetDialog(path, {title, std::move(fields), std::move(defaults)});
}

} // namespace

void RegisterDialogs(CCommandRegistry& registry) {
  const char* sub = "Algorithms/Surface subdivision/";
  const char* simp = "Algorithms/Surface simplification/";
  const char* mod = "Algorithms/Surface modification/";
  auto at = [](const char* prefix, const char* rest) { return std::string(prefix) + rest; };

  SetDialog(registry, at(sub, "Loop/Multiple..."), "Multiple smooth", MultipleSmooth());
  SetDialog(registry, at(mod, "Multiple smooth..."), "Multiple smooth", MultipleSmooth());
  SetDialog(registry, at(sub, "V3/Parameters..."), "V3 subdivision", V3Subdivision());
  SetDialog(registry, at(sub, "V3/On colored silhouette/Parameters...").c_str(),
            "Adaptive refinement", {IntegerParam("Camera", 1), IntegerParam("Silhouette", 3)});
  SetDialog(registry, at(sub, "V3/Max #vertices..."), "Iterations", Iterations());
  // a negative face count is refused by the field's range
  SetDialog(registry, at(simp, "Keep # faces..."), "Iterations",
            {IntegerParam("Iterations", 4, 0, kParamNoLimit)});
  SetDialog(registry, at(simp, "Coarse progressive mesh..."), "Iterations", Iterations());
  SetDialog(registry, at(mod, "Pack vertices/Set frequency..."), "Iterations", Iterations());

  SetDialog(registry, at(simp, "Edge-based simplification..."), "Edge-based simplification",
            EdgeBased(), [](const COrvexDoc& d, ParamValues& v) {
              InitialAndHalf(v, "Initial", VertexCountOf(d, 0));
            });
  SetDialog(registry, at(simp, "Error accumulation...").c_str(),
            "Scalable mesh coding by error accumulation", ErrorAccumulation(),
            [](const COrvexDoc& d, ParamValues& v) {
              InitialAndHalf(v, "Initial", VertexCountOf(d, 0));
            });
  SetDialog(registry, at(simp, "Face-based simplification...").c_str(),
            "Scalable mesh coding by face collapsing", FaceBased(),
            [](const COrvexDoc& d, ParamValues& v) {
              InitialAndHalf(v, "Initial", FaceCountOfFirst(d));
            });
  SetDialog(registry, at(simp, "Progressive mesh..."), "Progressive meshes", ProgressiveMeshes(),
            [](const COrvexDoc& d, ParamValues& v) {
              InitialAndHalf(v, "Initial (vertices)", VertexCountOf(d, 0));
            });
  SetDialog(registry, at(simp, "Volume-based metric...").c_str(),
            "Mesh approximation - volume-based metric", VolumeBasedMetric(),
            [](const COrvexDoc& d, ParamValues& v) {
              // the model is object 1 when that is a triangle mesh, else object 0
              CObject3d* second = d.m_SceneGraph.GetAt(1);
              const int model = second && second->GetType() == TYPE_MESH3D ? 1 : 0;
              v.SetDefault("Model", std::to_string(model));
              InitialAndHalf(v, "Initial", VertexCountOf(d, model));
            });

  SetDialog(registry, "Algorithms/Hash table...", "Hash table",
            {IntegerParam("Size", 16, 1, kHashSizeMax), CheckParam("Show grid", true)});
  SetDialog(
      registry, "Algorithms/Color mesh/Faces/# vertex valence", "Color faces from vertex valence",
      {RequiredIntegerParam("Nb vertices", 0, 1, 3), RequiredIntegerParam("Valence", 0, 2, 1000)});
  SetDialog(registry, "Algorithms/Surface tiling/Build...", "Tiling", Tiling());
  SetDialog(registry, "Unmeshing", "Unmeshing wavefront...", Unmeshing());
  SetDialog(registry, "Predefined/Map...", "Map", Map());
  SetDialog(registry, "Predefined/Peaks map...", "Map", Map());
  std::vector<ParamField> imageSampling = SamplingDialogFields();
  imageSampling.push_back(TextParam(kImageFileField, ""));
  SetDialog(registry, "Predefined/Map from image...", "Sampling", imageSampling);
  SetDialog(registry, "Edit/Window metafile/Parameters...", kMetafileDialogTitle,
            MetafileParameterFields());
  // the export commands take their file from the command line
  const std::pair<const char*, const char*> exports[] = {
      {"File/Export/eps", "mesh.eps"},
      {"File/Export/bmp", "view.bmp"},
      {"Edit/Window metafile/Generate MetaFile", kMetafileFile},
      {"Edit/Window metafile/Generate MetaFile (front faces only)", kMetafileFile},
      {"Edit/Window metafile/Generate MetaFile (face mode)", kMetafileFile},
      {"Window/AVI/Write", "video.avi"}};
  for (const auto& e : exports)
    SetDialog(registry, e.first, "Export", {CommandLineParam(kExportFileField, e.second)});
  SetDialog(registry, "32986", kValenceDialogTitle, ValenceDialogFields());
  SetDialog(registry, "32989", kValenceDialogTitle, ValenceDialogFields());
}

} // namespace orvex

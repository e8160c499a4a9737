#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "app/OrvexDoc.h"

class CSceneGraph3d;

namespace orvex {

// One step of a document's undo history: what a command changed, held as
// the state on the other side of it. Exchange swaps that state with the
// document's, so the same step undoes (holding "before") and then redoes
// (holding "after"). Every step also carries the highlight indices, the
// display state (a shading command changes it with the meshes' bindings)
// and the modified flag.
class CUndoStep {
public:
  CUndoStep(std::string label, const COrvexDoc& doc);
  virtual ~CUndoStep() = default;
  CUndoStep(const CUndoStep&) = delete;
  CUndoStep& operator=(const CUndoStep&) = delete;

  // The command's name as its menu item shows it ("Loop/Std").
  const std::string& Label() const { return m_Label; }
  // Bytes the record holds, estimated from element counts when it was made.
  virtual std::size_t Bytes() const = 0;
  // Whether the step can be exchanged with this scene (a record of values
  // needs the elements it recorded).
  virtual bool Matches(const CSceneGraph3d& /*scene*/) const { return true; }
  // Swaps the recorded state with the document's.
  void Exchange(COrvexDoc& doc);

protected:
  virtual void ExchangeScene(CSceneGraph3d& scene) = 0;

private:
  void ExchangeDocumentState(COrvexDoc& doc);

  std::string m_Label;
  int m_Highlight[6];
  COrvexDisplayState m_Display;
  bool m_Modified;
};

// A whole copy of the scene, for commands that add, remove or reconnect
// elements or objects. The exchange swaps the copy with the live scene.
class CSceneUndoStep : public CUndoStep {
public:
  CSceneUndoStep(std::string label, const COrvexDoc& doc, std::unique_ptr<CSceneGraph3d> copy,
                 std::size_t bytes);
  ~CSceneUndoStep() override;
  std::size_t Bytes() const override { return m_Bytes; }

protected:
  void ExchangeScene(CSceneGraph3d& scene) override;

private:
  std::unique_ptr<CSceneGraph3d> m_Scene;
  std::size_t m_Bytes;
};

// Bytes a copy of the scene takes, estimated from its element counts.
std::size_t EstimateSceneBytes(const CSceneGraph3d& scene);

} // namespace orvex

#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Stable ids of one kind of a mesh's elements: sequence numbers from 1, handed
// out on request and never reused, so that a heap, an undo record or a script
// may hold an id across compactions of the mesh's arrays and resolve it back
// to the element, or to nothing once the element is gone. The element keeps
// its id in its side block; the table maps ids back to addresses, which the
// mesh checks against its arrays before following them.
class CElementIds {
public:
  // A new id for element (the caller stores it in the element).
  std::uint32_t Assign(const void* element) {
    m_Entries.push_back(element);
    return static_cast<std::uint32_t>(m_Entries.size());
  }
  // Records element under an id given earlier (copies of a mesh keep ids).
  void Put(std::uint32_t id, const void* element) {
    if (id == 0) return;
    if (m_Entries.size() < id) m_Entries.resize(id, nullptr);
    m_Entries[id - 1] = element;
  }
  // The address recorded for id; null for 0, an unknown id or a forgotten one.
  const void* Lookup(std::uint32_t id) const {
    return id == 0 || id > m_Entries.size() ? nullptr : m_Entries[id - 1];
  }
  // The element of id is gone: its id resolves to nothing from now on.
  void Forget(std::uint32_t id) {
    if (id != 0 && id <= m_Entries.size()) m_Entries[id - 1] = nullptr;
  }
  void Clear() { std::vector<const void*>().swap(m_Entries); }
  void Swap(CElementIds& other) noexcept { m_Entries.swap(other.m_Entries); }
  // Ids handed out so far.
  std::size_t Count() const { return m_Entries.size(); }

private:
  std::vector<const void*> m_Entries; // id - 1 -> element
};

#pragma once

// KXI_SmartVector<T>: a vector parameter (with undo) and the index of its
// selected element (-1: none). The tree's form holds shared node handles,
// KXI_SmartVectorPtr<N> = KXI_SmartVector<DS_SafePtr<N>>.
//
// Stored form of a handle vector: int32 count (ReadInt), then count node
// records. The node records are polymorphic and read by the owner's node
// reader (the particle-tree layer's registry); this layer only walks the
// count, wraps each node in a new handle, appends it and notifies.

#include <cstdint>
#include <memory>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/SafePtr.h"

template <class T>
class KXI_SmartVector : public MediaParamT<std::vector<T>> {
public:
    static constexpr std::int32_t kNoSelection = -1;

    KXI_SmartVector() = default;
    explicit KXI_SmartVector(std::vector<T> initial) : MediaParamT<std::vector<T>>(initial) {}

    // Appends one element and tells every observer (null source).
    void Append(const T& element)
    {
        this->value.push_back(element);
        this->NotifyObservers(nullptr);
    }

    MediaParamTB<std::int32_t> selected{kNoSelection};
};

template <class N>
using KXI_SmartVectorPtr = KXI_SmartVector<DS_SafePtr<N>>;

// Reads a stored node vector into `nodes`: the checked count, then for each
// record `readNode(ar)`, which returns the new node (std::unique_ptr<N>), or
// null for a record that yields no object; each is wrapped in a new handle
// (an empty handle for null), appended and notified.
template <class N, class ReadNode>
void ReadSmartVectorPtr(ArchiveReader ar, KXI_SmartVectorPtr<N>& nodes, ReadNode&& readNode)
{
    const std::size_t count = ar.ReadCount(kMinSectionBytes);
    for (std::size_t i = 0; i < count; ++i) {
        std::unique_ptr<N> node = readNode(ar);
        nodes.Append(DS_SafePtr<N>(node.release()));
    }
}

// Writes the count, then each node through `saveNode(ar, node)`.
template <class N, class SaveNode>
void WriteSmartVectorPtr(ArchiveWriter ar, const KXI_SmartVectorPtr<N>& nodes, SaveNode&& saveNode)
{
    ar->WriteVersion(static_cast<std::int32_t>(nodes.value.size()));
    for (const DS_SafePtr<N>& node : nodes.value)
        saveNode(ar, node);
}

#pragma once
// The file meta information: the preamble, "DICM" and group 0002, which
// names the transfer syntax of the data set after it. Plain C++.
#include "dicom/ElementReading.h"
#include <optional>
#include <string>

namespace dicom_detail {

struct MetaGroup {
    std::optional<std::string> transferSyntax;
    uint64_t dataSetStart = 0;
    bool endsInside = false;  // an element of the group runs past the end of the file
};

// The meta group is explicit VR little endian in every file. Its end is given
// by the group length (0002,0000) when that comes first and is trusted;
// otherwise the group runs while the tags are in group 0002.
WholeFileVerdict ReadMetaGroup(WindowedReader& reader, MetaGroup& meta, bool trustGroupLength = true);

}  // namespace dicom_detail

#pragma once
// How large dcmdjpeg's output of an input can be, from what the DICOM
// structure reader found in the input. Plain C++.
#include "dicom/DicomStructure.h"
#include <cstdint>
#include <optional>

// What dcmdjpeg may add to the elements it keeps: a fuller meta group (its
// group length, version, media storage UIDs, implementation UID and version
// name) and, for a decoded image, the image pixel module it rewrites
// (photometric interpretation, planar configuration, bits allocated and
// stored, high bit, number of frames, lossy image compression).
constexpr uint64_t kRewriteAllowance = 512;
// The image pixel module of each further decoded image (an icon image).
constexpr uint64_t kNestedImageAllowance = 128;

// The most bytes dcmdjpeg's output can take, as it is known from the input:
// - an input that is not DICOM (no "DICM" and no data set of its own), or one
//   whose transfer syntax dcmdjpeg does not decode (JPEG-LS, JPEG 2000, RLE,
//   deflate, the retired JPEG processes), or whose pixel data is cut short,
//   or that ends inside its meta group, gives no output: 0;
// - an uncompressed input, or one of an unknown transfer syntax, is written
//   again: its size, plus what writing its elements again may add;
// - a JPEG input counts every byte outside its encapsulated pixel data, and
//   each encapsulated pixel data (an icon image's too) at its decoded size:
//   rows x columns x samples x frames x 1 or 2 bytes as the JPEG frame header's
//   precision says (2 where none was found), rounded up to an even count.
// Nothing when no bound can be had: the input could not be read, its meta
// group cannot be read, or a JPEG input's data set could not be walked to and
// through its pixel data, or gives no image size.
std::optional<uint64_t> EstimatedOutputSize(const DicomHeader& header, uint64_t inputSize);

// The frames dcmdjpeg decodes from encapsulated pixel data, at most: Number of
// Frames, but no more than there are fragments; without a usable Number of
// Frames, the fragments that start a JPEG stream (dcmdjpeg decodes one then,
// a file of several frames holds that many); at least one.
uint64_t FramesToDecode(const EncapsulatedPixelData& pixels);

// Volume thinning: the deletion test, border marking, neighbourhood
// orientation and the thinning drivers. Plain functions over byte volumes,
// callable without any host.
//
// A volume has M rows, N columns and P slices in column-major order: the
// voxel at (row r, column c, slice s) lies at r + c*M + s*M*N. Index
// arithmetic is 64-bit throughout, so volumes of 2^31 voxels and more work.
#pragma once

#include <cstdint>
#include <vector>

// ---- Deletion templates -------------------------------------------------

// A 3x3x3 neighbourhood packed one bit per position p = 9i + 3j + k (bit p
// set when the position is object). The centre is bit 13.
using NeighborhoodBits = uint32_t;

// True when a voxel whose neighbourhood, in reference orientation, is
// `bits` may be deleted: the centre is object and one of the 14 templates
// matches. Only bits 0..26 are read.
bool matchesTemplateBits(NeighborhoodBits bits);

// The same test on a 27-byte neighbourhood (any nonzero byte is object).
// Reads the 27 bytes, writes nothing.
bool MatchesATemplate(bool (*neighborhood)[3][3]);

// ---- Marking and orientation --------------------------------------------

// Steps (row, column, slice) of the 18 direction codes: 0..11 are the edge
// directions in subiteration order, 12..17 the face directions.
extern const int8_t kDirectionSteps[18][3];

// The two face direction codes marked in each subiteration.
extern const int8_t kSubiterationFaces[12][2];

// The orientation maps: destination position p of subiteration t takes
// source position kOrientationMaps[t][p].
extern const uint8_t kOrientationMaps[12][27];

// Linear offset of a direction code's neighbour in an M x N x P volume.
int64_t directionOffset(int code, int M, int N);

// Marks with 100 every interior voxel equal to 1 whose neighbour in the
// given direction (0..17) is 0. Returns false, marking nothing, for any
// other code.
bool markBoundaryInDirection(unsigned char* volume, int M, int N, int P, char code);

// Writes the neighbourhood `source` in the orientation of subiteration
// `code` (0..11) into `destination`; any other code writes nothing. The
// two buffers must be distinct. Always returns true.
bool TransformNeighborhood(bool (*source)[3][3], char code, bool (*destination)[3][3]);

// The offsets of the 27 neighbours in storage order of the 3x3x3 block
// (rows fastest): entry 9a + 3b + c is (a-1)*M*N + (b-1)*M + (c-1). Each
// thinning fills its own table.
void fillVolNeighbors(int64_t volNeighbors[27], int M, int N);

// ---- Drivers -------------------------------------------------------------

// Thins the object (nonzero bytes) of the volume in place, in passes of
// twelve directional subiterations, until a pass deletes nothing. On return
// the volume holds only 0 and 1; the outer layer is never changed. The work
// per subiteration grows with the object's border, not with the volume.
// When `passDeletions` is given it receives the number of voxels deleted in
// each pass, the last (empty) pass included. Any number of thinnings may
// run at once on different volumes. Besides the volume it keeps three
// lists of voxel indices (4 bytes each, 8 for volumes of more than 2^32
// voxels), none longer than the number of object voxels and in practice
// about the number of border voxels; it throws std::bad_alloc when they
// cannot grow.
void thinVolume(unsigned char* volume, int M, int N, int P, std::vector<int64_t>* passDeletions = nullptr);

// thinVolume as it runs on volumes of more than 2^32 voxels (64-bit list
// entries), for testing that path on small volumes.
void thinVolumeWithWideIndices(unsigned char* volume, int M, int N, int P, std::vector<int64_t>* passDeletions);

// The straightforward driver: every subiteration marks by scanning the
// whole interior twice, tests every marked voxel and clears the marks by a
// pass over the whole volume. Same results as thinVolume, bit for bit; kept
// as its reference. Input bytes must be 0 or 1.
void thinVolumeReference(unsigned char* volume, int M, int N, int P, std::vector<int64_t>* passDeletions = nullptr);

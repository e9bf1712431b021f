// write_tiff_stack RAW ROWS COLS SLICES OUT.tif
//
// Writes a 16-bit grey multi-page TIFF from a raw volume of unsigned 16-bit
// values in column-major order (rows fastest, then columns, then slices), as
// MATLAB and Octave store arrays and fwrite writes them. Page s holds slice s
// with ROWS lines of COLS pixels. The first page's description carries an
// ImageJ-style header with the image count, as ImageJ writes for stacks.
#include <tiffio.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "write_tiff_stack: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) return fail("usage: write_tiff_stack RAW ROWS COLS SLICES OUT.tif");
    const uint32_t rows = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10));
    const uint32_t cols = static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10));
    const uint32_t slices = static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10));
    if (rows == 0 || cols == 0 || slices == 0) return fail("sizes must be positive");

    const size_t page = size_t{rows} * cols;
    std::vector<uint16_t> volume(page * slices);
    std::ifstream raw(argv[1], std::ios::binary);
    if (!raw.read(reinterpret_cast<char*>(volume.data()), static_cast<std::streamsize>(volume.size() * 2))) {
        return fail(std::string("cannot read ") + std::to_string(volume.size()) + " values from " + argv[1]);
    }

    std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(TIFFOpen(argv[5], "w"), TIFFClose);
    if (!tiff) return fail(std::string("cannot create ") + argv[5]);
    const std::string description = "ImageJ=1.54f\nimages=" + std::to_string(slices) +
                                    "\nslices=" + std::to_string(slices) + "\nunit=micron\n";
    std::vector<uint16_t> line(cols);
    for (uint32_t s = 0; s < slices; ++s) {
        TIFF* t = tiff.get();
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, cols);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, rows);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 16);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, rows);
        if (s == 0) TIFFSetField(t, TIFFTAG_IMAGEDESCRIPTION, description.c_str());
        const uint16_t* slice = volume.data() + s * page;
        for (uint32_t r = 0; r < rows; ++r) {
            // A TIFF line runs along the columns; the raw volume runs along the rows.
            for (uint32_t c = 0; c < cols; ++c) line[c] = slice[r + size_t{c} * rows];
            if (TIFFWriteScanline(t, line.data(), r, 0) < 0) return fail("cannot write a line");
        }
        if (!TIFFWriteDirectory(t)) return fail("cannot write a page");
    }
    return 0;
}

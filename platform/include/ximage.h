// CxImage: the raster image class of the system, written over the Debian
// codecs (libpng, libjpeg-turbo, giflib, libtiff; BMP and ICO are our own).
//
// An image holds 8-bit RGB pixels in top-down rows and, optionally, an 8-bit
// alpha channel (255 opaque). Pixel coordinates count from the top-left
// corner. Formats are named by the identifiers below; any other identifier
// (0 included) is unsupported and makes the operation fail. Decoding checks
// every size and offset of its input: a file that does not decode completely
// (malformed, truncated, or larger than kMaxPixels) is a failure and leaves
// the image empty (0 x 0, not valid). Encoded buffers are allocated with
// malloc; release them with free or FreeMemory.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CxMemFile;

enum ENUM_CXIMAGE_FORMATS {
  CXIMAGE_FORMAT_UNKNOWN = 0,
  CXIMAGE_FORMAT_BMP = 1,
  CXIMAGE_FORMAT_GIF = 2,
  CXIMAGE_FORMAT_JPG = 3,
  CXIMAGE_FORMAT_PNG = 4,
  CXIMAGE_FORMAT_ICO = 5,
  CXIMAGE_FORMAT_TIF = 6,
  // A placeable Windows metafile holding the image as one stretched DIB
  // (read: the first DIB record of any metafile).
  CXIMAGE_FORMAT_WMF = 10,
};

// The pixels of an image, shared with the codecs.
struct QmRaster {
  // Largest image accepted from a decoder or a caller, in pixels.
  static constexpr uint64_t kMaxPixels = uint64_t(1) << 26;

  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgb;    // width * height * 3 bytes, top-down
  std::vector<uint8_t> alpha;  // width * height bytes, or empty

  // Sizes the pixels (black, opaque); false for 0 or too large a size.
  bool Allocate(uint64_t w, uint64_t h, bool with_alpha);
  void Clear();
  bool Valid() const { return width > 0 && height > 0; }
};

class CxImage {
 public:
  // An empty image; the type is only remembered.
  explicit CxImage(DWORD imagetype = CXIMAGE_FORMAT_UNKNOWN);
  // Decodes an image held in memory.
  CxImage(BYTE* buffer, DWORD size, DWORD imagetype);
  // Loads a file (Windows-style names are mapped, see qm_file.h).
  CxImage(const char* filename, DWORD imagetype);
  // An independent copy; without pixels the copy has the same size and black
  // pixels, without alpha it has no alpha channel. Selections do not exist in
  // this implementation, so `copyselection` has no effect.
  CxImage(const CxImage& src, bool copypixels = true, bool copyselection = true, bool copyalpha = true);
  CxImage& operator=(const CxImage& src);
  ~CxImage();

  // A black image of the given size; `bpp` is accepted for compatibility
  // (pixels are always stored as 24-bit colour).
  bool Create(DWORD width, DWORD height, DWORD bpp = 24, DWORD imagetype = CXIMAGE_FORMAT_UNKNOWN);
  void Destroy();

  bool Load(const char* filename, DWORD imagetype);
  bool Decode(BYTE* buffer, DWORD size, DWORD imagetype);
  bool Decode(CxMemFile* file, DWORD imagetype);

  // Encodes into a newly allocated buffer; on failure buffer is null and
  // size 0.
  bool Encode(BYTE*& buffer, long& size, DWORD imagetype);
  bool Encode(CxMemFile* file, DWORD imagetype);
  // Writes a file; a failed save leaves no partial file behind.
  bool Save(const char* filename, DWORD imagetype);
  static void FreeMemory(void* buffer);

  // Keeps the part from (left, top) to (right, bottom), right and bottom
  // exclusive, clamped to the image; reversed corners are swapped. An empty
  // part fails. With iDst the result goes there and this image is unchanged.
  bool Crop(long left, long top, long right, long bottom, CxImage* iDst = nullptr);
  // Turns the picture by `angle` degrees, counter-clockwise as seen on the
  // screen (the drawing's positive sense). Multiples of 90 degrees are exact;
  // other angles sample the nearest pixel into the bounding box of the turned
  // picture, whose uncovered corners are white (transparent with alpha).
  bool Rotate(float angle, CxImage* iDst = nullptr);

  bool IsValid() const { return raster_.Valid(); }
  DWORD GetWidth() const { return raster_.width; }
  DWORD GetHeight() const { return raster_.height; }
  DWORD GetType() const { return type_; }

  // Pixel access (outside the image: black, and writes are ignored).
  COLORREF GetPixelColor(long x, long y) const;
  void SetPixelColor(long x, long y, COLORREF color);
  bool AlphaIsValid() const { return !raster_.alpha.empty(); }
  BYTE AlphaGet(long x, long y) const;
  // Sets one alpha value, making an opaque alpha channel first if needed.
  void AlphaSet(long x, long y, BYTE level);

  // Reads the pixels of a bitmap (any depth the software GDI makes; the
  // palette argument is not needed, paletted bitmaps carry their colours).
  bool CreateFromHBITMAP(HBITMAP hbmp, HPALETTE hpal = nullptr);
  // Paints the picture stretched into (x, y, cx, cy) of the DC (a negative
  // size means the picture's own), limited to pClipRect when given. Pixels
  // are sampled as StretchDIBits samples them; with an alpha channel each
  // pixel is blended over the DC's pixel. bSmooth is accepted and ignored.
  // Returns 1 when painted, 0 for an empty image or a bad DC.
  long Draw(HDC hdc, long x = 0, long y = 0, long cx = -1, long cy = -1, RECT* pClipRect = nullptr,
            bool bSmooth = false);
  // Copies the picture stretched into the DC with a raster operation (as
  // StretchDIBits, alpha ignored). Returns 1 when painted.
  long Stretch(HDC hdc, long xoffset, long yoffset, long xsize, long ysize, DWORD dwRop = 0x00CC0020u);

  const QmRaster& Raster() const { return raster_; }

 private:
  bool Inside(long x, long y) const;

  QmRaster raster_;
  DWORD type_;
};

// The type of a picture written to a file, chosen by the name's extension
// (the text after the last '.', any case): .bmp, .gif, .tif, .png, .wmf,
// .jpg, .jpeg; CXIMAGE_FORMAT_UNKNOWN for any other name. Every program
// that writes a picture by its name chooses here.
DWORD qm_picture_format(const char* path);
// Those extensions for a message: ".bmp, .gif, .tif, .png, .wmf, .jpg, .jpeg".
std::string qm_picture_extensions();

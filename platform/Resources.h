// The program's embedded resources: named blobs of bytes, looked up by name and type
// as a Windows program finds its bitmap, cursor and form resources.
//
// The tables are made by the build (tools/artgen writes Tesk's) and register themselves
// when the program starts; a program sees the resources of every table linked into it.
// Names and types compare case-insensitively (ASCII), as resource names do.
//
// Resource types and the format of their bytes:
//   "BITMAP"  a complete Windows BMP file (BITMAPFILEHEADER first).
//   "CURSOR"  a complete Windows .cur file holding one image (its hot spot is in the
//             directory entry).
//   "TEXT"    raw bytes, no terminator.
//   "RCDATA"  data a form keeps in its stored layout, named "<Form class>.<Component>.
//             <Property>", e.g. "TForm1.BackToMenuButton.Pic" (a JPEG file) or
//             "TClearProgressDialog.CoolForm1.Mask2" (region data, see below).
//
// Region data ("Mask2" properties): an int32 byte count n (little-endian) followed by n
// bytes of the platform's region data: a 32-byte header (int32 header size 32, int32
// type 1 = rectangles, int32 rectangle count, int32 size of the rectangles in bytes,
// then the bounding rectangle), then the rectangles, four int32 each: left, top, right,
// bottom, right and bottom exclusive, in rows from top to bottom. n = 0 means "no
// region".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"

struct EmbeddedResource {
    const char* Name;
    const char* Type;
    const unsigned char* Data;
    std::size_t Size;
};

// Adds a table of resources (the table must outlive the program: the build makes static
// tables). A later table's entry of the same name and type hides an earlier one.
void RegisterResourceTable(const EmbeddedResource* table, std::size_t count);

// The bytes of the resource, or nothing when no linked table holds it.
std::optional<std::string_view> FindResource(std::string_view name, std::string_view type);
// The bytes of the resource; raises EResNotFound "Resource <name> not found" when no
// linked table holds it.
std::string_view ResourceBytes(std::string_view name, std::string_view type);

// Every registered resource of a type (all types when type is empty), in registration order.
std::vector<const EmbeddedResource*> ListResources(std::string_view type = {});

// A static object of this class registers a table when the program starts.
struct ResourceTableRegistrar {
    ResourceTableRegistrar(const EmbeddedResource* table, std::size_t count)
    {
        RegisterResourceTable(table, count);
    }
};

using ResourceRect = TRect;

// Decodes region data (byte count, header, rectangles; see above). Returns nothing when
// the data is malformed: shorter than its byte count says, a header of another size or
// type, more rectangles than the bytes hold, or an empty or inverted rectangle. A byte
// count of 0 gives an empty list.
std::optional<std::vector<ResourceRect>> DecodeRegionData(std::string_view data);

// The inverse of DecodeRegionData.
std::string EncodeRegionData(const std::vector<ResourceRect>& rects);

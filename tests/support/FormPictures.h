// Pictures of windows for tests: a control drawn with its children into a bitmap, PNG
// files to keep reference pictures in, and a comparison that tolerates small changes.
#pragma once

#include <string>

#include "platform/Controls.h"
#include "platform/Graphics.h"

// The control and its children as they would show on the screen, as a 24-bit bitmap; a
// shaped form is black outside its shape.
TBitmap DrawControlPicture(TWinControl& control);

// Writes a bitmap as a PNG file; false when it cannot be written.
bool SavePicturePng(const TBitmap& picture, const std::string& path);
// Reads a PNG file into a 24-bit bitmap; false (and an empty bitmap) when it cannot.
bool LoadPicturePng(TBitmap& picture, const std::string& path);

struct TPictureDifference {
    bool SameSize = false;
    // Pixels where some channel differs by more than the tolerance.
    long Differing = 0;
    long Total = 0;
    // The largest difference of one channel anywhere.
    int Worst = 0;
    double Fraction() const { return Total ? double(Differing) / double(Total) : 1.0; }
};
TPictureDifference ComparePictures(const TBitmap& a, const TBitmap& b, int tolerance);

// A picture's differences from the reference file. With TP_UPDATE_PICTURES=1 in the
// environment the reference is written from the picture instead (and no difference is
// reported), so that an intended change of drawing is recorded in one step.
TPictureDifference CompareWithReference(const TBitmap& picture, const std::string& referencePath, int tolerance);

// Checks a picture against the reference <folder>/<name>.png, the folder given from the
// source tree's top (the tolerance per channel, under one pixel in a hundred differing);
// a failing comparison leaves the picture as <name>.actual.png in the build's bin folder
// to look at.
void ExpectLikeReference(const TBitmap& picture, const std::string& folder, const std::string& name,
                         int tolerance = 24);

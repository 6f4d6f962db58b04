#include "tools/levels/FramePictures.h"

#include <QImage>

#include "tesk/toolkit/Dib16.h"
#include "tools/levels/LevelSession.h"

void WriteFramePicture(tDib16& frame, const std::string& file)
{
    QImage image(frame.Width, frame.Height, QImage::Format_RGB888);
    for (int32_t y = 0; y < frame.Height; ++y) {
        const uint16_t* from = frame.ScanLine(y);
        uchar* to = image.scanLine(y);
        for (int32_t x = 0; x < frame.Width; ++x) {
            uint8_t r = 0, g = 0, b = 0;
            PixelToRGB(from[x], r, g, b);
            to[3 * x] = r;
            to[3 * x + 1] = g;
            to[3 * x + 2] = b;
        }
    }
    if (!image.save(QString::fromStdString(file), "PNG"))
        throw EToolError(file + ": cannot be written");
}

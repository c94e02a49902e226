#include "mainwindow/SkinStyles.h"

namespace qvz {

namespace {

using platform::ButtonShape;
using platform::Colour;
using platform::FrameLook;
using platform::TitleFinish;

constexpr Colour rgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return { red, green, blue, 255 };
}

// The design's frame settings, which DeepBlue keeps as they are.
FrameLook deepBlue()
{
    FrameLook look;
    look.name = "DeepBlue";
    look.border = rgb(0, 0, 0);
    look.borderWidth = 1;
    look.face = rgb(232, 232, 232);
    look.titleTop = rgb(24, 44, 96);
    look.titleBottom = rgb(8, 18, 52);
    look.titleFinish = TitleFinish::Gradient;
    look.captionFont = "Tahoma";
    look.captionPixelHeight = 11;
    look.captionBold = true;
    look.captionColour = rgb(255, 255, 255);
    look.buttonShape = ButtonShape::Square;
    look.buttonFace = rgb(36, 62, 128);
    look.buttonSymbol = rgb(220, 230, 255);
    look.closeFace = look.buttonFace;
    look.maximizeFace = look.buttonFace;
    look.minimizeFace = look.buttonFace;
    return look;
}

FrameLook macOS()
{
    FrameLook look = deepBlue();
    look.name = "MacOS";
    look.border = rgb(120, 120, 120);
    look.face = rgb(236, 236, 236);
    // Dark enough a brushed grey for the white caption to stay readable.
    look.titleTop = rgb(188, 188, 192);
    look.titleBottom = rgb(128, 128, 134);
    look.titleFinish = TitleFinish::Brushed;
    look.captionFont = "Lucida Grande";
    look.captionColour = rgb(255, 255, 255);
    look.buttonShape = ButtonShape::Round;
    look.buttonFace = rgb(150, 150, 160);
    look.buttonSymbol = rgb(70, 40, 30);
    look.closeFace = rgb(236, 84, 72);
    look.maximizeFace = rgb(92, 196, 76);
    look.minimizeFace = rgb(244, 190, 60);
    return look;
}

FrameLook winXP()
{
    FrameLook look = deepBlue();
    look.name = "WinXP";
    look.border = rgb(0, 60, 200);
    look.borderWidth = 1;
    look.face = rgb(236, 233, 216);
    look.titleTop = rgb(56, 136, 252);
    look.titleBottom = rgb(0, 72, 224);
    look.titleFinish = TitleFinish::Gradient;
    look.cornerRadius = 6;
    look.captionFont = "Trebuchet MS";
    look.buttonShape = ButtonShape::Rounded;
    look.buttonFace = rgb(40, 112, 248);
    look.buttonSymbol = rgb(255, 255, 255);
    look.closeFace = rgb(226, 72, 36);
    look.maximizeFace = look.buttonFace;
    look.minimizeFace = look.buttonFace;
    return look;
}

FrameLook protein()
{
    FrameLook look = deepBlue();
    look.name = "Protein";
    look.border = rgb(60, 100, 40);
    look.face = rgb(232, 238, 224);
    look.titleTop = rgb(150, 196, 96);
    look.titleBottom = rgb(72, 128, 52);
    look.titleFinish = TitleFinish::Organic;
    look.cornerRadius = 10;
    look.captionFont = "Verdana";
    look.buttonShape = ButtonShape::Round;
    look.buttonFace = rgb(208, 236, 160);
    look.buttonSymbol = rgb(48, 84, 28);
    look.closeFace = rgb(232, 150, 90);
    look.maximizeFace = look.buttonFace;
    look.minimizeFace = look.buttonFace;
    return look;
}

FrameLook blueGlass()
{
    FrameLook look = deepBlue();
    look.name = "BlueGlass";
    look.border = rgb(40, 110, 170);
    look.face = rgb(226, 238, 248);
    look.titleTop = rgb(150, 210, 250);
    look.titleBottom = rgb(40, 130, 210);
    look.titleFinish = TitleFinish::Glossy;
    look.cornerRadius = 4;
    look.captionFont = "Segoe UI";
    look.buttonShape = ButtonShape::Rounded;
    look.buttonFace = rgb(120, 190, 240);
    look.buttonSymbol = rgb(255, 255, 255);
    look.closeFace = rgb(90, 160, 230);
    look.maximizeFace = look.buttonFace;
    look.minimizeFace = look.buttonFace;
    return look;
}

// What FromThemeFile shows where no theme, or no usable part of one, was
// read: plain greys that suit any content and claim no style.
FrameLook neutral()
{
    FrameLook look;
    look.name = "FromThemeFile";
    look.border = rgb(96, 96, 96);
    look.borderWidth = 1;
    look.face = rgb(232, 232, 232);
    look.titleTop = rgb(128, 128, 128);
    look.titleBottom = rgb(128, 128, 128);
    look.titleFinish = TitleFinish::Flat;
    look.captionFont = "Sans";
    look.captionPixelHeight = 11;
    look.captionBold = true;
    look.captionColour = rgb(255, 255, 255);
    look.buttonShape = ButtonShape::Square;
    look.buttonFace = rgb(160, 160, 160);
    look.buttonSymbol = rgb(255, 255, 255);
    look.closeFace = look.buttonFace;
    look.maximizeFace = look.buttonFace;
    look.minimizeFace = look.buttonFace;
    return look;
}

}

FrameLook builtInLook(UIStyle style)
{
    switch (style) {
    case UIStyle::MacOS:
        return macOS();
    case UIStyle::WinXP:
        return winXP();
    case UIStyle::DeepBlue:
        return deepBlue();
    case UIStyle::Protein:
        return protein();
    case UIStyle::BlueGlass:
        return blueGlass();
    case UIStyle::FromThemeFile:
        break;
    }
    return neutral();
}

MinimumSize minimumSize(UIStyle style)
{
    switch (style) {
    case UIStyle::MacOS:
        return { 300, 160 };
    case UIStyle::WinXP:
        return { 280, 150 };
    case UIStyle::DeepBlue:
        return { 260, 140 };
    case UIStyle::Protein:
        return { 320, 180 };
    case UIStyle::BlueGlass:
        return { 290, 160 };
    case UIStyle::FromThemeFile:
        break;
    }
    return { 240, 120 };
}

}

#pragma once

// Geometry that the Carbon skin's pictures are drawn for. The window code and
// the skin generator both read these numbers, so a picture and the rectangle
// that hit-tests it cannot drift apart. Rectangles are left, top, right,
// bottom with right and bottom exclusive; all values are client pixels of the
// window named in each block unless a comment says "body-relative" (relative
// to the top-left corner of a section body image).

namespace qvr::skin {

struct Point {
    int x;
    int y;
};

struct Size {
    int width;
    int height;
};

struct Rect {
    int left;
    int top;
    int right;
    int bottom;
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr Size size() const { return {right - left, bottom - top}; }
    constexpr bool contains(int x, int y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

// ---------------------------------------------------------------- main window

inline constexpr Size kMainWindow{1000, 640};

// The three panel cards of "/main.png". "/BK_MainLeft.png", "/BK_MainMid.png"
// and "/BK_MainRight.png" are exact crops of "/main.png" at these rectangles,
// so drawing one of them clears that panel back to the plain background.
inline constexpr Rect kLeftPanel{15, 28, 267, 598};
inline constexpr Rect kMidPanel{272, 28, 724, 598};
inline constexpr Rect kRightPanel{729, 28, 981, 598};

// Track of the right panel's scroll thumb ("/Bar1.png"): the thumb may occupy
// rows 32..595, so the track is one pixel taller than 595 - 32.
inline constexpr Rect kScrollTrack{984, 32, 992, 596};

inline constexpr Rect kHelpButton{937, 5, 952, 20};
inline constexpr Rect kMinimiseButton{958, 5, 973, 20};
inline constexpr Rect kCloseButton{979, 5, 994, 20};
inline constexpr Rect kResetButton{798, 604, 855, 634};
inline constexpr Rect kCancelButton{860, 604, 917, 634};
inline constexpr Rect kSaveButton{923, 604, 980, 634};
inline constexpr Rect kConfigButton{18, 604, 90, 634};
// The Config button carries its icon in the first pixels; its label starts here.
inline constexpr int kConfigLabelIndent = 25;

// A free area at the top of the left panel, above the assignment header: a
// status card with a device glyph; the program may write the device name in
// kStatusText.
inline constexpr Rect kStatusCard{20, 32, 262, 102};
inline constexpr Rect kStatusText{64, 40, 256, 94};

// ----------------------------------------------------------------- mouse view

inline constexpr Rect kFrontTab{437, 527, 499, 556};
inline constexpr Rect kSideTab{500, 527, 562, 556};
inline constexpr Point kFrontPicture{335, 58};
inline constexpr Size kFrontPictureSize{365, 460};
inline constexpr Point kSidePicture{362, 59};
inline constexpr Size kSidePictureSize{310, 460};

// Top-left corners of the button images of both views (buttons 1..8, index 0
// is button 1) and the sizes the skin gives them. The images are transparent
// outside the button, its leader line and its marker, but "-over" is not a
// superset of "-normal": to take a highlight back, draw the view picture
// again (after "/BK_MainMid.png"), then the eight button images.
inline constexpr Point kFrontButtonAt[8] = {{335, 106}, {518, 106}, {479, 183}, {335, 170},
                                            {335, 196}, {479, 257}, {335, 234}, {335, 269}};
inline constexpr Size kFrontButtonSize[8] = {{182, 160}, {182, 160}, {221, 50}, {112, 26},
                                             {112, 38},  {221, 40},  {112, 35}, {112, 34}};
inline constexpr Point kSideButtonAt[8] = {{363, 79},  {483, 89},  {511, 170}, {365, 159},
                                           {365, 187}, {536, 249}, {365, 219}, {365, 264}};
inline constexpr Size kSideButtonSize[8] = {{182, 125}, {185, 125}, {157, 55}, {167, 28},
                                            {167, 32},  {132, 45},  {167, 45}, {167, 40}};
// Centres of the numbered callout circles at the outer ends of the leader
// lines (window coordinates); each lies inside its button's image, which
// draws the circle, and the program writes the button's number in it.
inline constexpr Point kFrontCalloutAt[8] = {{342, 114}, {692, 114}, {692, 209}, {342, 184},
                                             {342, 215}, {692, 281}, {342, 252}, {342, 287}};
inline constexpr Point kSideCalloutAt[8] = {{372, 86},  {660, 97},  {660, 199}, {372, 174},
                                            {372, 203}, {660, 268}, {372, 241}, {372, 284}};
inline constexpr int kCalloutRadius = 7;
// "/Mouse/Back/B-4-*.png" and "B-5-*.png": small rear-view thumbnails.
inline constexpr Size kBackButtonSize{48, 48};

// ------------------------------------------------------------ section frames

inline constexpr int kPanelWidth = 242; // headers and bodies of both panels
inline constexpr int kHeaderHeight = 20;
inline constexpr int kSectionGap = 5;
// The next header of an open section starts at header top + kHeaderHeight +
// body height + kSectionGap; of a closed one at header top + 25.
inline constexpr int kRightHeaderLeft = 734;
inline constexpr int kRightHeaderTop = 32;

inline constexpr Size kAssignmentBody{242, 198};
inline constexpr Size kMacroBar{242, 38};
inline constexpr Size kXYBody{242, 104};
inline constexpr Size kDpiBody{242, 228};
inline constexpr Size kLightingBody{242, 100};
inline constexpr Size kReportRateBody{242, 140};
inline constexpr Size kSpeedBody{242, 100}; // Mouse Speed and Double Click Speed
inline constexpr Size kScrollBody{242, 70};
inline constexpr Size kAngleSnapBody{242, 104};

// Radio images "/Enable.png", "/Disable.png" and their scroll-speed copies.
inline constexpr Size kRadio{14, 14};

// --------------------------------------------------------------- step slider
// X axis, Y axis and Angle Snap: hit area 208 x 9. The frame
// "/StageSlider/%d.png" is drawn kStepFrameInset pixels up and left of the
// hit area. stepSliderStop(v) is the x of value v's thumb centre relative to
// the hit area's left edge; the stop labels "1".."10" are centred there.

inline constexpr Size kStepSliderHit{208, 9};
inline constexpr Size kStepSliderFrame{216, 17};
inline constexpr int kStepFrameInset = 4;
constexpr int stepSliderStop(int value) {
    return value >= 11 ? 203 : 4 + 21 * (value - 1);
}

// ----------------------------------------------------------- lighting slider
// Hit area 128 x 8, frame "/Lighting/%d.png" drawn kLightingFrameInset up and
// left of it, labels centred on lightingSliderStop(1..5).

inline constexpr Size kLightingSliderHit{128, 8};
inline constexpr Size kLightingSliderFrame{136, 16};
inline constexpr int kLightingFrameInset = 4;
constexpr int lightingSliderStop(int value) {
    return value >= 6 ? 126 : 2 + 30 * (value - 1);
}

// ------------------------------------------------------------- DPI sliders
// Hit areas x kDpiSliderLeft[i] .. +10, y 90..203. Frame n of
// "/DPISetting/DPIStage/%d.png" is drawn at (left - 5, kDpiFrameTop) and shows
// its thumb centred on client row dpiThumbRow(n), the row a click selecting n
// lands on.

inline constexpr int kDpiSliderLeft[4] = {775, 825, 885, 935};
inline constexpr int kDpiSliderTop = 90;
inline constexpr int kDpiSliderBottom = 203;
inline constexpr Size kDpiFrame{20, 122};
inline constexpr int kDpiFrameTop = 86;
constexpr int dpiThumbRow(int value) {
    return kDpiSliderBottom - 1 - value;
}
// "/DPISetting/BK-DPIValue.png" frames each DPI edit box (x kDpiEditLeft[i]
// .. +40, y 220..236), drawn 2 pixels up and left of it.
inline constexpr int kDpiEditLeft[4] = {760, 810, 870, 920};
inline constexpr Size kDpiValueFrame{44, 20};

// ---------------------------------------------------- section contents
// All body-relative.

// X/Y Sensitivity: caption rows and slider hit areas.
inline constexpr Rect kXYCaption[2] = {{17, 4, 225, 20}, {17, 52, 225, 68}};
inline constexpr Rect kXYSliderHit[2] = {{17, 24, 225, 33}, {17, 72, 225, 81}};
inline constexpr Rect kXYStopLabels[2] = {{13, 35, 229, 48}, {13, 83, 229, 96}};

// Lighting: row r (0..2) has its radio, its name and its slider.
constexpr Rect lightingRadio(int row) {
    return {10, 11 + 29 * row, 24, 25 + 29 * row};
}
constexpr Rect lightingName(int row) {
    return {30, 10 + 29 * row, 100, 26 + 29 * row};
}
constexpr Rect lightingSliderHit(int row) {
    return {104, 14 + 29 * row, 232, 22 + 29 * row};
}
constexpr Rect lightingLabels(int row) {
    return {100, 23 + 29 * row, 236, 35 + 29 * row};
}

// USB Report Rate: the 128 x 128 dial; its centre disc (radius 32) is left
// empty for the rate text.
inline constexpr Point kDialAt{57, 6};
inline constexpr Size kDial{128, 128};

// Mouse Speed / Double Click Speed: the 142 x 83 gauge and its end labels.
inline constexpr Point kGaugeAt{50, 6};
inline constexpr Size kGauge{142, 83};
inline constexpr Rect kGaugeSlowLabel{40, 84, 90, 98};
inline constexpr Rect kGaugeFastLabel{152, 84, 202, 98};

// Scroll Speed: two radio rows; "ScrollLines.png" holds the rows edit box
// (control 121) and the up/down arrows.
inline constexpr Rect kScrollRadio[2] = {{10, 11, 24, 25}, {10, 41, 24, 55}};
inline constexpr Rect kScrollText[2] = {{30, 8, 146, 28}, {30, 38, 232, 58}};
inline constexpr Point kScrollLinesAt{150, 7};
inline constexpr Size kScrollLines{76, 22};
inline constexpr Rect kScrollEdit{152, 10, 196, 26};
inline constexpr Rect kScrollUp{200, 7, 226, 18};
inline constexpr Rect kScrollDown{200, 18, 226, 29};

// Angle Snap: preview "/AngleSnap/%d.png", slider and its stop labels.
inline constexpr Point kAnglePreviewAt{21, 6};
inline constexpr Size kAnglePreview{200, 50};
inline constexpr Rect kAngleSliderHit{17, 66, 225, 75};
inline constexpr Rect kAngleStopLabels{13, 78, 229, 91};

// ------------------------------------------------------------------ dialogs

inline constexpr Size kKeyDialog{378, 284}; // single-key.png, combo-key.png
inline constexpr Size kMacroKeyDialog{396, 296};
inline constexpr Size kMacroManager{490, 434};
inline constexpr Size kConfigWindow{263, 598};
inline constexpr Size kHelpPanel{166, 182};
// The keys panel beside the help panel: a title band, then two columns (the
// keys, what they do) split at kKeysColumnSplit.
inline constexpr Size kKeysPanel{540, 560};
inline constexpr int kKeysTitleHeight = 34;
inline constexpr int kKeysColumnSplit = 178;

// The skin's close button is 15 x 15 everywhere; the key dialogs hit-test an
// 18 x 18 rectangle (352, 6, 370, 24) around it.
inline constexpr Size kCloseImage{15, 15};

} // namespace qvr::skin

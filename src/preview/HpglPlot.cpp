// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/HpglPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "preview/HpglEnvelope.h"
#include "preview/HpglNumbers.h"
#include "preview/HpglPens.h"
#include "preview/HpglScaling.h"
#include "preview/HpglShapes.h"
#include "preview/LineClip.h"
#include "preview/PlotBytes.h"

namespace tavrin {
namespace {

constexpr int kEsc = 0x1b;
constexpr int kEtx = 0x03;
constexpr std::size_t kMostParameters = 16;
constexpr std::size_t kMostPolygonPoints = 1 << 16;
constexpr std::size_t kMostLabelBytes = 4096;
// Default character size (SI) in plotter units: 0.187 cm by 0.269 cm.
constexpr PlotPoint kDefaultCharacter{74.8, 107.6};

bool IsLetter(int c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

constexpr int Mnemonic(char a, char b) {
    return a << 8 | b;
}

PlotPoint Plus(PlotPoint a, PlotPoint b) {
    return {a.x + b.x, a.y + b.y};
}

struct Window {
    PlotPoint low;
    PlotPoint high;
};

class HpglReader final : public ShapeTarget {
public:
    HpglReader(std::istream& file, PlotSink& sink, const HpglPlotLimits& limits)
        : bytes_(file), sink_(sink), limits_(limits) {}

    HpglPlotSummary Run();

    // ShapeTarget: shapes are drawn through here in plotter units.
    PlotPoint At() const override { return at_; }
    PlotPoint ToPlotter(PlotPoint user) const override { return scaling_.ToPlotter(user); }
    PlotPoint ToUser(PlotPoint plotter) const override { return scaling_.ToUser(plotter); }
    void Go(PlotPoint to, bool down) override;

private:
    bool OutOfTime();
    bool Number(double& value) { return ReadNumber(bytes_, value); }
    std::size_t Parameters(double* values);
    void Dispatch(int mnemonic);
    void Initialise(bool wholly);
    void Coordinates();
    void Encoded();
    bool EncodedNumber(bool sevenBit, double& value) {
        return ReadEncodedNumber(bytes_, sevenBit, value);
    }
    void Label();
    void SetTerminator();
    void PenWidth(const double* v, std::size_t n);
    void PolygonMode(const double* v, std::size_t n);
    void OutlinePolygon();
    void Stroke(PlotPoint from, PlotPoint to);
    void PageEnd();

    PlotBytes bytes_;
    PlotSink& sink_;
    HpglPlotLimits limits_;
    HpglPlotSummary summary_;
    std::uint32_t ticks_ = 0;
    bool stop_ = false;

    HpglScaling scaling_;
    HpglPens pens_;
    Labels labels_;
    double chordDegrees_ = kDefaultChordDegrees;
    int pen_ = 1;
    bool penSent_ = false;
    bool penDown_ = false;
    bool relative_ = false;
    bool widthRelative_ = false;
    PlotPoint at_{};
    std::optional<Window> window_;
    bool polygonMode_ = false;
    std::vector<std::vector<PlotPoint>> polygon_;
    std::size_t polygonPoints_ = 0;

    bool drawing_ = true;  // the sink hears of the lines
    bool pageDrawn_ = false;
    std::optional<PlotPoint> sinkAt_;
};

bool HpglReader::OutOfTime() {
    if ((++ticks_ & 0xfff) == 0 && std::chrono::steady_clock::now() > limits_.deadline) {
        stop_ = true;
        summary_.cutShort = true;
    }
    return stop_;
}

// The rest of an instruction's numbers: the first kMostParameters in `values`, more dropped.
std::size_t HpglReader::Parameters(double* values) {
    std::size_t count = 0;
    double value = 0;
    while (Number(value) && !OutOfTime())
        if (count < kMostParameters)
            values[count++] = value;
    bytes_.Take(';');
    return count;
}

HpglPlotSummary HpglReader::Run() {
    Initialise(true);
    while (!OutOfTime()) {
        const int c = bytes_.Next();
        if (c == PlotBytes::kEnd)
            break;
        if (c == kEsc) {
            const PlotMode mode = ReadEscape(bytes_, PlotMode::HpGl);
            if (mode != PlotMode::HpGl)
                SkipToHpgl(bytes_, mode);
            continue;
        }
        if (!IsLetter(c) || !IsLetter(bytes_.Peek()))
            continue;
        const int second = bytes_.Next();
        Dispatch(Mnemonic(static_cast<char>(c & ~0x20), static_cast<char>(second & ~0x20)));
    }
    if (!summary_.cutShort)
        PageEnd();
    return summary_;
}

void HpglReader::Initialise(bool wholly) {
    if (wholly) {
        scaling_.SetPaper(scaling_.Paper(), 0);
        pens_.Reset();
        pen_ = 1;
        at_ = {};
        penDown_ = false;
        widthRelative_ = false;
    }
    scaling_.ScaleOff();
    relative_ = false;
    window_.reset();
    polygonMode_ = false;
    polygon_.clear();
    polygonPoints_ = 0;
    labels_ = Labels{};
    labels_.size = kDefaultCharacter;
    chordDegrees_ = kDefaultChordDegrees;
    penSent_ = false;
}

void HpglReader::Dispatch(int mnemonic) {
    double v[kMostParameters];
    switch (mnemonic) {
        case Mnemonic('P', 'U'):
            penDown_ = false;
            return Coordinates();
        case Mnemonic('P', 'D'):
            penDown_ = true;
            return Coordinates();
        case Mnemonic('P', 'A'):
            relative_ = false;
            return Coordinates();
        case Mnemonic('P', 'R'):
            relative_ = true;
            return Coordinates();
        case Mnemonic('P', 'E'):
            return Encoded();
        case Mnemonic('L', 'B'):
            return Label();
        case Mnemonic('D', 'T'):
            return SetTerminator();
        case Mnemonic('S', 'M'):
            if (bytes_.Peek() != ';' && bytes_.Peek() != kEsc)
                bytes_.Next();
            bytes_.Take(';');
            return;
        case Mnemonic('B', 'L'):
        case Mnemonic('W', 'D'):
            for (std::size_t n = 0; n < kMostLabelBytes; ++n) {
                const int c = bytes_.Next();
                if (c == labels_.terminator || c == PlotBytes::kEnd)
                    break;
            }
            return;
        default:
            break;
    }
    const std::size_t n = Parameters(v);
    switch (mnemonic) {
        case Mnemonic('I', 'N'):
            return Initialise(true);
        case Mnemonic('D', 'F'):
            return Initialise(false);
        case Mnemonic('P', 'S'):
            if (n >= 1) {
                const PlotPoint paper{v[0], n >= 2 ? v[1] : v[0]};
                if (!summary_.paper)
                    summary_.paper = paper;
                scaling_.SetPaper(paper, scaling_.Rotation());
            }
            return;
        case Mnemonic('R', 'O'):
            return scaling_.SetRotation(n >= 1 ? static_cast<int>(std::lround(v[0] / 90.0)) * 90
                                               : 0);
        case Mnemonic('I', 'P'):
            return scaling_.SetPoints(v, n);
        case Mnemonic('I', 'R'):
            return scaling_.SetRelativePoints(v, n);
        case Mnemonic('S', 'C'):
            return scaling_.SetScale(v, n);
        case Mnemonic('I', 'W'):
            if (n >= 4) {
                const PlotPoint a = ToPlotter({v[0], v[1]});
                const PlotPoint b = ToPlotter({v[2], v[3]});
                window_ = Window{{std::min(a.x, b.x), std::min(a.y, b.y)},
                                 {std::max(a.x, b.x), std::max(a.y, b.y)}};
            } else {
                window_.reset();
            }
            return;
        case Mnemonic('S', 'P'):
            pen_ = HpglPens::Index(n >= 1 ? v[0] : 0);
            penSent_ = false;
            return;
        case Mnemonic('P', 'W'):
            return PenWidth(v, n);
        case Mnemonic('W', 'U'):
            widthRelative_ = n >= 1 && v[0] == 1;
            return;
        case Mnemonic('P', 'C'):
            if (n == 0)
                pens_.DefaultColours();
            else if (n < 4)
                pens_.DefaultColour(HpglPens::Index(v[0]));
            else
                pens_.SetColour(HpglPens::Index(v[0]), v + 1);
            penSent_ = false;
            return;
        case Mnemonic('C', 'R'):
            if (n >= 6)
                pens_.SetRange({v[0], v[2], v[4]}, {v[1], v[3], v[5]});
            else
                pens_.SetRange({0, 0, 0}, {255, 255, 255});
            return;
        case Mnemonic('C', 'T'):
            return;
        case Mnemonic('C', 'I'):
            if (n >= 1)
                DrawCircle(*this, v[0], Chord(n >= 2 ? v[1] : chordDegrees_));
            return;
        case Mnemonic('A', 'A'):
        case Mnemonic('A', 'R'):
            if (n >= 3) {
                const PlotPoint user = ToUser(at_);
                const PlotPoint centre = mnemonic == Mnemonic('A', 'A') ? PlotPoint{v[0], v[1]}
                                                                        : Plus(user, {v[0], v[1]});
                DrawArc(*this, centre, v[2], Chord(n >= 4 ? v[3] : chordDegrees_), penDown_);
            }
            return;
        case Mnemonic('E', 'W'):
        case Mnemonic('W', 'G'):
            if (n >= 3)
                DrawWedge(*this, v[0], v[1], v[2], Chord(n >= 4 ? v[3] : chordDegrees_));
            return;
        case Mnemonic('E', 'A'):
        case Mnemonic('R', 'A'):
        case Mnemonic('E', 'R'):
        case Mnemonic('R', 'R'):
            if (n >= 2) {
                const bool absolute =
                    mnemonic == Mnemonic('E', 'A') || mnemonic == Mnemonic('R', 'A');
                const PlotPoint user = ToUser(at_);
                DrawRectangle(*this, absolute ? PlotPoint{v[0], v[1]} : Plus(user, {v[0], v[1]}));
            }
            return;
        case Mnemonic('P', 'M'):
            return PolygonMode(v, n);
        case Mnemonic('E', 'P'):
        case Mnemonic('F', 'P'):
            return OutlinePolygon();
        case Mnemonic('S', 'I'):
            labels_.size =
                n >= 2 ? PlotPoint{std::abs(v[0]) * 400, std::abs(v[1]) * 400} : kDefaultCharacter;
            return;
        case Mnemonic('S', 'R'): {
            const PlotPoint span = scaling_.PointSpan();
            labels_.size =
                n >= 2 ? PlotPoint{std::abs(span.x * v[0] / 100), std::abs(span.y * v[1] / 100)}
                       : PlotPoint{std::abs(span.x) * 0.0075, std::abs(span.y) * 0.015};
            return;
        }
        case Mnemonic('D', 'I'):
        case Mnemonic('D', 'R'): {
            PlotPoint direction = n >= 2 ? PlotPoint{v[0], v[1]} : PlotPoint{1, 0};
            if (mnemonic == Mnemonic('D', 'R') && n >= 2) {
                const PlotPoint span = scaling_.PointSpan();
                direction = {direction.x * span.x, direction.y * span.y};
            }
            labels_.SetDirection(direction);
            return;
        }
        case Mnemonic('C', 'P'):
            return MoveByCharacters(*this, labels_, n >= 1 ? v[0] : 0, n >= 2 ? v[1] : 0, n == 0);
        case Mnemonic('P', 'G'):
        case Mnemonic('F', 'R'):
        case Mnemonic('A', 'F'):
        case Mnemonic('A', 'H'):
            return PageEnd();
        default:
            return;  // an instruction that does not draw, or one not known: its numbers are read
    }
}

void HpglReader::Coordinates() {
    double x = 0;
    double y = 0;
    while (Number(x) && Number(y) && !OutOfTime()) {
        const PlotPoint target =
            relative_ ? Plus(at_, scaling_.StepToPlotter({x, y})) : ToPlotter({x, y});
        Go(target, penDown_);
    }
    bytes_.Take(';');
}

// PE: flags and coordinates in base 64 (or base 32 after '7'), until ';'.
void HpglReader::Encoded() {
    bool sevenBit = false;
    bool up = false;
    bool absolute = false;
    double fraction = 1;
    while (!OutOfTime()) {
        const int c = bytes_.Peek();
        if (c == PlotBytes::kEnd || c == kEsc)
            return;
        if (c == ';') {
            bytes_.Next();
            return;
        }
        double value = 0;
        if (c == ':' || c == '>') {
            bytes_.Next();
            if (!EncodedNumber(sevenBit, value))
                return;
            if (c == ':') {
                pen_ = HpglPens::Index(value);
                penSent_ = false;
            } else {
                fraction = std::ldexp(1.0, -static_cast<int>(std::clamp(value, 0.0, 26.0)));
            }
            continue;
        }
        if (c == '<' || c == '=' || c == '7') {
            bytes_.Next();
            up = up || c == '<';
            absolute = absolute || c == '=';
            sevenBit = sevenBit || c == '7';
            continue;
        }
        if (c < 63 || c > (sevenBit ? 126 : 254)) {
            bytes_.Next();
            continue;
        }
        double x = 0;
        double y = 0;
        if (!EncodedNumber(sevenBit, x) || !EncodedNumber(sevenBit, y))
            return;
        const PlotPoint step{x * fraction, y * fraction};
        penDown_ = !up;
        Go(absolute ? ToPlotter(step) : Plus(at_, scaling_.StepToPlotter(step)), penDown_);
        up = false;
        absolute = false;
    }
}

void HpglReader::Label() {
    labels_.lineStart = at_;
    for (std::size_t n = 0; n < kMostLabelBytes; ++n) {
        const int c = bytes_.Next();
        if (c == labels_.terminator || c == PlotBytes::kEnd)
            return;
        DrawCharacter(*this, labels_, c);
    }
}

// DT: the byte after it ends labels; "DT;" restores ETX.
void HpglReader::SetTerminator() {
    const int c = bytes_.Next();
    labels_.terminator = c == ';' || c == PlotBytes::kEnd ? kEtx : c;
    if (c != ';' && c != PlotBytes::kEnd) {
        double ignored[kMostParameters];
        Parameters(ignored);
    }
}

void HpglReader::PenWidth(const double* v, std::size_t n) {
    double millimetres = n >= 1 ? v[0] : HpglPens::kDefaultWidthMillimetres;
    if (widthRelative_ && n >= 1) {
        const PlotPoint span = scaling_.PointSpan();
        millimetres = v[0] / 100 * std::hypot(span.x, span.y) / kPlotUnitsPerMillimetre;
    }
    if (n >= 2)
        pens_.SetWidth(HpglPens::Index(v[1]), millimetres);
    else
        pens_.SetAllWidths(millimetres);
    penSent_ = false;
}

void HpglReader::PolygonMode(const double* v, std::size_t n) {
    const int mode = n >= 1 ? static_cast<int>(v[0]) : 0;
    if (mode == 0) {
        polygon_.assign(1, {at_});
        polygonPoints_ = 1;
        polygonMode_ = true;
        return;
    }
    if (!polygonMode_)
        return;
    if (!polygon_.empty() && polygon_.back().size() > 1)
        polygon_.back().push_back(polygon_.back().front());
    if (mode == 2)
        polygonMode_ = false;
    else
        polygon_.push_back({at_});
}

void HpglReader::OutlinePolygon() {
    for (const auto& path : polygon_)
        for (std::size_t i = 1; i < path.size(); ++i)
            Stroke(path[i - 1], path[i]);
}

void HpglReader::Go(PlotPoint to, bool down) {
    if (polygonMode_) {
        if (polygonPoints_ < kMostPolygonPoints) {
            if (down && !polygon_.empty())
                polygon_.back().push_back(to);
            else
                polygon_.push_back({to});
            ++polygonPoints_;
        }
    } else if (down) {
        Stroke(at_, to);
    }
    at_ = to;
}

void HpglReader::Stroke(PlotPoint from, PlotPoint to) {
    pageDrawn_ = true;
    if (!drawing_ || (window_ && !ClipLine(from, to, window_->low, window_->high)))
        return;
    if (!penSent_) {
        sink_.SelectPen(pen_, pens_.Colour(pen_), pens_.Width(pen_));
        penSent_ = true;
        sinkAt_.reset();
    }
    if (!sinkAt_ || !(*sinkAt_ == from))
        sink_.MoveTo(from);
    sink_.LineTo(to);
    sinkAt_ = to;
}

void HpglReader::PageEnd() {
    if (!pageDrawn_)
        return;
    pageDrawn_ = false;
    ++summary_.pages;
    if (!drawing_)
        return;
    sink_.PageEnd();
    sinkAt_.reset();
    drawing_ = !limits_.firstPageOnly;
}

}  // namespace

HpglPlotSummary DrawHpglPlot(std::istream& file, PlotSink& sink, const HpglPlotLimits& limits) {
    return HpglReader(file, sink, limits).Run();
}

}  // namespace tavrin

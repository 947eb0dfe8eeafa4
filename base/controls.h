// The controls of the three windows as plain data. The rules read and write these directly;
// the views mirror them. Positions and sizes are twips (15 to a pixel) in single precision,
// measured from the top-left corner of the container's client area.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace gombocok {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr float kTwipsPerPixel = 15.0f;

// A picture box, an image, or a member of a sprite array. `picture` names what it shows:
// a full file path for pictures loaded at run time, or "design:<name>" for a picture stored
// with the window design.
struct Sprite {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool visible = true;
    bool enabled = true;
    std::string picture;
    std::string cursor;  // full path of a custom mouse cursor file, empty for the default
};

struct Line {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    bool visible = true;
    Rgb color;
};

// A filled rectangle (or, with `filled` false, an outline).
struct Shape {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    Rgb fill;
    bool filled = true;
    Rgb border;
    int borderWidth = 1;
    bool visible = true;
};

struct Font {
    double points = 8.25;
    bool bold = false;
};

struct Label {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    std::string caption;
    Rgb foreColor;
    bool visible = true;
    Font font;
};

struct Button {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    std::string caption;
    bool enabled = true;
    bool visible = true;
};

// A frame (group box) used as a page or a panel; its children are separate members of the form.
struct Frame {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool visible = true;
};

// Check boxes and option buttons run their click handler whenever their state changes, whether
// the player or the program changed it. The owner installs the handler once.
struct CheckBox {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    std::string caption;
    bool visible = true;
    std::function<void()> onClick;

    bool ticked() const { return value_ != 0; }
    int value() const { return value_; }
    void setValue(int v) {
        if (v == value_) return;
        value_ = v;
        if (onClick) onClick();
    }
    // Sets the state without running the handler: only for building a design.
    void initValue(int v) { value_ = v; }

private:
    int value_ = 0;
};

struct OptionButton {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    std::string caption;
    bool visible = true;
    std::function<void()> onClick;

    bool selected() const { return selected_; }
    // Selecting a button of a group deselects its siblings (the owner does that through the
    // group); the handler runs only when the state really changes to selected.
    void setSelected(bool s) {
        if (s == selected_) return;
        selected_ = s;
        if (s && onClick) onClick();
    }
    void initSelected(bool s) { selected_ = s; }

private:
    bool selected_ = false;
};

struct TextBox {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    std::string text;
    bool visible = true;
    Font font;
};

struct Slider {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    int min = 1, max = 9;
    bool visible = true;
    std::function<void()> onChange;

    int value() const { return value_; }
    // Clamps to the slider's range; runs the handler when the position changes.
    void setValue(int v) {
        if (v < min) v = min;
        if (v > max) v = max;
        if (v == value_) return;
        value_ = v;
        if (onChange) onChange();
    }
    void initValue(int v) { value_ = v; }

private:
    int value_ = 1;
};

// The up-down spinner: only its arrows matter to the rules.
struct Spinner {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool visible = true;
};

struct TabStrip {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    std::vector<std::string> tabs;  // captions of tabs 1..n, stored 0-based
    int selected = 1;               // 1-based index of the selected tab
};

// An interval timer. Setting a non-zero interval restarts its count, also when it was running;
// 0 stops it. The host compares `generation` after each event to see which timers to re-arm.
class Timer {
public:
    int interval() const { return interval_; }
    void setInterval(int ms) {
        interval_ = ms < 0 ? 0 : ms;
        ++generation_;
    }
    std::uint64_t generation() const { return generation_; }

private:
    int interval_ = 0;
    std::uint64_t generation_ = 0;
};

struct Window {
    std::string caption;
    float Left = 0, Top = 0;
    float Width = 0, Height = 0;  // client area
    bool visible = false;
    // Counts the shows: each one, also of a window already shown, brings it to the front.
    std::uint64_t shows = 0;
};

// A control array of sprites addressed by a 16-bit index. Member 0 always exists; the others
// are created as copies of member 0 (hidden) and destroyed again.
class SpriteArray {
public:
    explicit SpriteArray(Sprite first, int capacity = 16) : members_(capacity) {
        members_[0] = std::move(first);
    }

    bool exists(int k) const {
        return k >= 0 && k < static_cast<int>(members_.size()) && members_[k].has_value();
    }
    Sprite& operator[](int k) {
        if (!exists(k)) throw std::logic_error("control array member does not exist");
        return *members_[k];
    }
    const Sprite& operator[](int k) const {
        if (!exists(k)) throw std::logic_error("control array member does not exist");
        return *members_[k];
    }
    void create(int k) {
        if (k <= 0 || k >= static_cast<int>(members_.size()) || members_[k])
            throw std::logic_error("control array member cannot be created");
        members_[k] = *members_[0];
        members_[k]->visible = false;
    }
    void destroy(int k) {
        if (k <= 0 || !exists(k))
            throw std::logic_error("control array member cannot be destroyed");
        members_[k].reset();
    }
    int capacity() const { return static_cast<int>(members_.size()); }

private:
    std::vector<std::optional<Sprite>> members_;
};

}  // namespace gombocok

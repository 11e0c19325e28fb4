// Controls as plain values. A shell mirrors them into real widgets through an observer;
// every change that alters a text bumps the control's revision.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kavri {

class Label;
class ListBox;

class ControlObserver {
public:
    virtual ~ControlObserver() = default;
    virtual void LabelChanged(const Label& label) = 0;
    virtual void LineInserted(const ListBox& list, int index) = 0;
    virtual void LineRemoved(const ListBox& list, int index) = 0;
    virtual void LineReplaced(const ListBox& list, int index) = 0;
};

class Label {
public:
    Label() = default;
    Label(std::string caption, std::string tag = {});

    const std::string& Caption() const { return caption_; }
    const std::string& Tag() const { return tag_; }
    void SetCaption(std::string_view text);
    void SetTag(std::string_view text);

    std::uint64_t Revision() const { return revision_; }
    void Observe(ControlObserver* observer) { observer_ = observer; }

private:
    void Changed();

    std::string caption_;
    std::string tag_;
    std::uint64_t revision_ = 0;
    ControlObserver* observer_ = nullptr;
};

// Unsorted list box: lines and one selected index (-1 for none).
class ListBox {
public:
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& Line(int index) const { return lines_.at(static_cast<std::size_t>(index)); }
    const std::vector<std::string>& Lines() const { return lines_; }

    void Replace(int index, std::string_view text);
    void Append(std::string_view text);
    void InsertTop(std::string_view text);
    void Remove(int index);

    int Selected() const { return selected_; }
    void Select(int index);

    std::uint64_t Revision() const { return revision_; }
    void Observe(ControlObserver* observer) { observer_ = observer; }

private:
    std::vector<std::string> lines_;
    int selected_ = -1;
    std::uint64_t revision_ = 0;
    ControlObserver* observer_ = nullptr;
};

struct PushButton {
    std::string caption;
};

struct PollTimer {
    int interval = 0;  // milliseconds
    bool enabled = false;
};

}  // namespace kavri

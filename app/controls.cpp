#include "app/controls.h"

#include <stdexcept>
#include <utility>

namespace kavri {

Label::Label(std::string caption, std::string tag) : caption_(std::move(caption)), tag_(std::move(tag)) {}

void Label::SetCaption(std::string_view text) {
    if (caption_ == text) return;
    caption_ = text;
    Changed();
}

void Label::SetTag(std::string_view text) {
    if (tag_ == text) return;
    tag_ = text;
    Changed();
}

void Label::Changed() {
    ++revision_;
    if (observer_) observer_->LabelChanged(*this);
}

void ListBox::Replace(int index, std::string_view text) {
    std::string& line = lines_.at(static_cast<std::size_t>(index));
    if (line == text) return;
    line = text;
    ++revision_;
    if (observer_) observer_->LineReplaced(*this, index);
}

void ListBox::Append(std::string_view text) {
    lines_.emplace_back(text);
    ++revision_;
    if (observer_) observer_->LineInserted(*this, Count() - 1);
}

void ListBox::InsertTop(std::string_view text) {
    lines_.emplace(lines_.begin(), text);
    if (selected_ >= 0) ++selected_;
    ++revision_;
    if (observer_) observer_->LineInserted(*this, 0);
}

void ListBox::Remove(int index) {
    if (index < 0 || index >= Count()) throw std::out_of_range("list index");
    lines_.erase(lines_.begin() + index);
    if (selected_ == index) selected_ = -1;
    else if (selected_ > index) --selected_;
    ++revision_;
    if (observer_) observer_->LineRemoved(*this, index);
}

void ListBox::Select(int index) { selected_ = (index >= 0 && index < Count()) ? index : -1; }

}  // namespace kavri

// The portable half of accessibility: where each described part lies, which part a point
// hits, its default action, and which names and values changed since last asked.
#include "host/accessibility.h"

#include <algorithm>

#include "host/handlers.h"
#include "host/platform.h"

namespace host {

Text AccessPart::Name() const {
  if (!name.empty() || labels.empty()) return name;
  return labels.front()->ToolTip();
}

AccessDescription& Form::Accessibility() const {
  if (!access_) access_ = std::make_shared<AccessDescription>(const_cast<Form&>(*this));
  return *access_;
}

AccessPart& AccessDescription::Add(AccessPart part) {
  parts_.push_back(std::move(part));
  names_.push_back(parts_.back().Name());
  values_.push_back(parts_.back().Value());
  return parts_.back();
}

const AccessPart* AccessDescription::FormPart() const {
  for (const AccessPart& part : parts_) {
    if (part.IsForm()) return &part;
  }
  return nullptr;
}

std::vector<int> AccessDescription::Children() const {
  std::vector<int> children;
  for (std::size_t i = 0; i < parts_.size(); ++i) {
    if (!parts_[i].IsForm()) children.push_back(static_cast<int>(i));
  }
  return children;
}

TwipsRect AccessDescription::Rect(int part) const {
  const AccessPart& p = parts_.at(static_cast<std::size_t>(part));
  if (p.IsForm()) return {0, 0, form_.DesignArea().width, form_.DesignArea().height};
  return Rect(p.labels);
}

TwipsRect AccessDescription::Rect(const std::vector<const Label*>& labels) const {
  float width = form_.DesignArea().width;
  float height = form_.DesignArea().height;
  float left = width, top = height, right = 0, bottom = 0;
  for (const Label* label : labels) {
    const TwipsRect& r = label->Rect();
    left = std::min(left, std::max(r.left, 0.0f));
    top = std::min(top, std::max(r.top, 0.0f));
    right = std::max(right, std::min(r.left + r.width, width));
    bottom = std::max(bottom, std::min(r.top + r.height, height));
  }
  if (right <= left || bottom <= top) return {0, 0, 0, 0};
  return {left, top, right - left, bottom - top};
}

int AccessDescription::PartAt(float x, float y) const {
  if (x < 0 || y < 0 || x >= form_.DesignArea().width || y >= form_.DesignArea().height) return -1;
  // The label a press there would go to.
  const Label* hit = HostAccess::LabelAt(form_, x, y);
  for (std::size_t i = 0; i < parts_.size(); ++i) {
    const auto& on = parts_[i].labels;
    if (hit != nullptr && std::find(on.begin(), on.end(), hit) != on.end()) {
      return static_cast<int>(i);
    }
  }
  // Off every label: the form's own surface, which answers when the form is a part itself.
  if (hit == nullptr && FormPart() != nullptr) return static_cast<int>(FormPart() - parts_.data());
  return -1;
}

bool AccessDescription::DoDefaultAction(int part) {
  const AccessPart& p = parts_.at(static_cast<std::size_t>(part));
  if (!p.HasDefaultAction() || !form_.Clickable()) return false;
  if (p.IsForm()) {
    RunHandler([this] { form_.Form_Click(); });
    return true;
  }
  // The label's own click handler, as a click on its spot runs it.
  const Label* label = p.labels.front();
  if (label->Click) RunHandler(label->Click);
  return true;
}

void AccessDescription::NameControl(const Control& control, Text name) {
  controlNames_.emplace_back(&control, std::move(name));
}

Text AccessDescription::ControlName(const Control& control) const {
  for (const auto& [named, name] : controlNames_) {
    if (named == &control) return name;
  }
  return {};
}

std::vector<AccessChange> AccessDescription::TakeChanges() {
  std::vector<AccessChange> changes;
  for (std::size_t i = 0; i < parts_.size(); ++i) {
    Text name = parts_[i].Name();
    Text value = parts_[i].Value();
    AccessChange change{static_cast<int>(i), name != names_[i], value != values_[i]};
    if (change.name || change.value) changes.push_back(change);
    names_[i] = std::move(name);
    values_[i] = std::move(value);
  }
  return changes;
}

}  // namespace host

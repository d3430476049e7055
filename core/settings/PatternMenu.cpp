#include "core/settings/PatternMenu.h"

#include <utility>

void PatternMenu::Load(const CVNAppInfo& app, int type, int filter) {
    Clear();
    CROZariduPattern::LoadAll(app, 0, type, preconfigured_, filter);
    CROZariduPattern::LoadAll(app, 1, type, userDefined_, filter);
}

void PatternMenu::Set(std::vector<CROZariduPattern> preconfigured,
                      std::vector<CROZariduPattern> userDefined) {
    preconfigured_ = std::move(preconfigured);
    userDefined_ = std::move(userDefined);
}

void PatternMenu::Clear() {
    preconfigured_.clear();
    userDefined_.clear();
}

std::vector<PatternMenu::Item> PatternMenu::Items() const {
    std::vector<Item> items;
    int id = 1;
    for (const CROZariduPattern& p : preconfigured_)
        items.push_back({id++, false, p.m_menuText});
    if (!preconfigured_.empty() && !userDefined_.empty()) items.push_back({id++, true, {}});
    for (const CROZariduPattern& p : userDefined_)
        items.push_back({id++, false, p.m_menuText});
    return items;
}

const CROZariduPattern* PatternMenu::Record(int id) const {
    const int p = static_cast<int>(preconfigured_.size());
    if (id < 1) return nullptr;
    if (id <= p) return &preconfigured_[static_cast<std::size_t>(id - 1)];
    // Without preconfigured patterns there is no separator before the user's own.
    const int first = p == 0 ? 1 : p + 2;
    const int index = id - first;
    if (index < 0 || index >= static_cast<int>(userDefined_.size())) return nullptr;
    return &userDefined_[static_cast<std::size_t>(index)];
}

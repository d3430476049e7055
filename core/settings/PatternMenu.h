#pragma once

// The items of the pop-up menu of a ">" button: the preconfigured patterns of one type, a
// separator when there are user-defined ones as well, then the user's own patterns. Item ids
// count from 1 in that order, the separator taking one id, so that a chosen id names one record.

#include <string>
#include <vector>

#include "core/settings/CROZariduPattern.h"

class CVNAppInfo;

class PatternMenu {
public:
    struct Item {
        int id = 0;
        bool separator = false;
        std::string text; // the pattern's menu text
    };

    // Both lists of the type that pass the filter (CROZariduPattern::Filter), in stored order.
    void Load(const CVNAppInfo& app, int type, int filter);
    void Set(std::vector<CROZariduPattern> preconfigured,
             std::vector<CROZariduPattern> userDefined);
    void Clear();

    std::vector<Item> Items() const;
    bool IsEmpty() const { return preconfigured_.empty() && userDefined_.empty(); }
    // The record of an item id; null for the separator and for any other id.
    const CROZariduPattern* Record(int id) const;

private:
    std::vector<CROZariduPattern> preconfigured_;
    std::vector<CROZariduPattern> userDefined_;
};

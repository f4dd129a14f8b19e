// Names a table row's test after the row's `name`, so that a failure names it.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

struct CaseName {
    template <class Param>
    std::string operator()(const testing::TestParamInfo<Param>& info) const {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    }
};

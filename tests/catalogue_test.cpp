#include "tavrin/catalogue.hpp"
#include "tavrin/convert.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using tavrin::category_names;
using tavrin::units_of;

namespace {
std::vector<std::string> as_strings(std::span<const std::string_view> names) {
  return {names.begin(), names.end()};
}
} // namespace

TEST(Catalogue, ListsTheFifteenCategoriesInOrder) {
  const std::vector<std::string> expected{
      "Length", "Area", "Volume", "Mass", "Density", "Speed", "Torque", "Temperature",
      "Dynamic Viscosity", "Kinematic Viscosity", "Volumetric Liquid Flow",
      "Volumetric Gas Flow", "Mass Flow", "High Pressure", "Low Pressure"};
  EXPECT_EQ(as_strings(category_names()), expected);
}

TEST(Catalogue, HasSourceAndTargetListsOfEqualLength) {
  const std::vector<std::size_t> sizes{8, 6, 8, 7, 4, 6, 4, 3, 3, 4, 7, 3, 4, 7, 6};
  std::size_t rules = 0;
  for (std::size_t i = 0; i < tavrin::category_count; ++i) {
    const auto lists = units_of(category_names()[i]);
    EXPECT_EQ(lists.sources.size(), sizes[i]) << category_names()[i];
    EXPECT_EQ(lists.targets.size(), sizes[i]) << category_names()[i];
    rules += lists.sources.size() * lists.targets.size();
  }
  EXPECT_EQ(rules, tavrin::rule_count);
}

TEST(Catalogue, SpellsTorquesInchPoundDifferentlyInItsTwoLists) {
  const auto torque = units_of("Torque");
  EXPECT_EQ(torque.sources.back(), "Inch Pound");
  EXPECT_EQ(torque.targets.back(), "Inch pound");
  EXPECT_EQ(as_strings(torque.sources.first(3)), as_strings(torque.targets.first(3)));
  // Every other category has the same units in both lists.
  for (auto name : category_names()) {
    if (name == "Torque") continue;
    EXPECT_EQ(as_strings(units_of(name).sources), as_strings(units_of(name).targets)) << name;
  }
}

TEST(Catalogue, KeepsTheUnitNamesExactlyAsWritten) {
  EXPECT_EQ(as_strings(units_of("Length").sources),
            (std::vector<std::string>{"Millimetres", "Centimetres", "Metres", "Kilometres",
                                      "Inches", "Feet", "Yards", "Miles"}));
  EXPECT_EQ(units_of("Temperature").sources.front(), "Degrees Celcius");
  EXPECT_EQ(units_of("High Pressure").sources[4], "Kg Force/ cm Square");
  EXPECT_EQ(units_of("High Pressure").sources[5], "mm of mercury");
  EXPECT_EQ(units_of("Low Pressure").sources[2], "Cm of Mercury");
  EXPECT_EQ(units_of("Dynamic Viscosity").sources[2], "Pound / ft.sec");
}

TEST(Catalogue, MatchesCategoryNamesExactly) {
  for (const char* text : {"length", "Length ", " Length", "", "LENGTH", "Low pressure"}) {
    EXPECT_TRUE(units_of(text).sources.empty()) << text;
    EXPECT_TRUE(units_of(text).targets.empty()) << text;
  }
}

TEST(Catalogue, PutsEveryUnitInExactlyOneCategory) {
  std::set<std::string> sources, targets;
  for (auto name : category_names()) {
    for (auto u : units_of(name).sources) EXPECT_TRUE(sources.insert(std::string(u)).second) << u;
    for (auto u : units_of(name).targets) EXPECT_TRUE(targets.insert(std::string(u)).second) << u;
  }
  EXPECT_EQ(sources.size(), 80u);
  EXPECT_EQ(targets.size(), 80u);
  for (auto name : category_names()) EXPECT_FALSE(sources.count(std::string(name))) << name;
}

TEST(Catalogue, FindsUnitsByTheirExactNames) {
  const auto inches = tavrin::find_source("Inches");
  ASSERT_TRUE(inches);
  EXPECT_EQ(inches->category, 0u);
  EXPECT_EQ(inches->index, 4u);
  EXPECT_FALSE(tavrin::find_source("inches"));
  EXPECT_FALSE(tavrin::find_source("Inch pound"));  // a target spelling only
  EXPECT_TRUE(tavrin::find_target("Inch pound"));
  EXPECT_FALSE(tavrin::find_target("Inch Pound"));
  EXPECT_FALSE(tavrin::find_source(std::string_view("Inches\0", 7)));
}

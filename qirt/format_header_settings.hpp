// The generator settings: how many format-argument counts and fixed leading
// parameters get wrappers, which format functions are wrapped, and whether
// the routed calls keep the compiler's own format checks. An options file
// reaches them through the property table (MaxFormatParams, MaxFixedParams,
// FormatNames, CompileTimeChecks).
#pragma once

#include <cstdint>

#include "persist/loadable.hpp"
#include "persist/text_list.hpp"

namespace qirt {

class TFormatHeaderSettings : public persist::TLoadable {
 public:
  // 10, 2, the fourteen default names ("printf" first, "cat_sprintf" last)
  // and no compile-time checks.
  TFormatHeaderSettings();

  static const persist::property_table_t& classProperties();
  const persist::property_table_t& properties() const override { return classProperties(); }

  // Wrappers take 0 to getMaxFormatParams() - 1 format arguments.
  std::uint32_t getMaxFormatParams() const { return maxFormatParams_; }
  void setMaxFormatParams(std::uint32_t value) { maxFormatParams_ = value; }
  // Declarations for 0 to getMaxFixedParams() fixed parameters, both included.
  std::uint32_t getMaxFixedParams() const { return maxFixedParams_; }
  void setMaxFixedParams(std::uint32_t value) { maxFixedParams_ = value; }
  // Owned by the settings; lives as long as they do.
  persist::TTextList& getFormatNames() { return formatNames_; }
  const persist::TTextList& getFormatNames() const { return formatNames_; }
  // When set, the routing macros also hand each call, unevaluated, to the
  // real function so that the compiler checks it, and the wrappers are kept
  // quiet under strict format warnings. When clear, the headers are exactly
  // those without the setting.
  bool getCompileTimeChecks() const { return compileTimeChecks_; }
  void setCompileTimeChecks(bool value) { compileTimeChecks_ = value; }

 private:
  std::uint32_t maxFormatParams_ = 10;
  std::uint32_t maxFixedParams_ = 2;
  persist::TTextList formatNames_;
  bool compileTimeChecks_ = false;
};

}  // namespace qirt

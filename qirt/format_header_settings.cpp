#include "qirt/format_header_settings.hpp"

#include <iterator>

namespace qirt {

namespace {

using persist::booleanProperty;
using persist::integerProperty;
using persist::PropertyKind;
using persist::property_t;
using persist::property_value_t;
using persist::TLoadable;
using Settings = TFormatHeaderSettings;

constexpr char16_t kDefaultFormatNames[] =
    u"printf,wprintf,sprintf,swprintf,fprintf,fwprintf,scanf,wscanf,sscanf,swscanf,fscanf,"
    u"fwscanf,cat_printf,cat_sprintf";

const property_t kSettingsProperties[] = {
    integerProperty<Settings, std::uint32_t, &Settings::getMaxFormatParams,
                    &Settings::setMaxFormatParams>("MaxFormatParams"),
    integerProperty<Settings, std::uint32_t, &Settings::getMaxFixedParams,
                    &Settings::setMaxFixedParams>("MaxFixedParams"),
    // The list is part of the settings: a file may refill it but never
    // replace or clear the reference, which the generator relies on.
    {"FormatNames", PropertyKind::kObject,
     [](TLoadable& o) -> property_value_t {
       return static_cast<TLoadable*>(&static_cast<Settings&>(o).getFormatNames());
     },
     nullptr, /*owned=*/true},
    booleanProperty<Settings, &Settings::getCompileTimeChecks, &Settings::setCompileTimeChecks>(
        "CompileTimeChecks"),
};

}  // namespace

TFormatHeaderSettings::TFormatHeaderSettings() {
  formatNames_.setSeparator(u',');
  formatNames_.setDelimitedText(kDefaultFormatNames);
}

const persist::property_table_t& TFormatHeaderSettings::classProperties() {
  static const persist::property_table_t table{"TFormatHeaderSettings",
                                               &TLoadable::classProperties(), kSettingsProperties,
                                               std::size(kSettingsProperties)};
  return table;
}

}  // namespace qirt

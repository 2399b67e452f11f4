
    // requires:    I
:TYPELISTENTRY
        TypeID <T$(I), CStringT>::value,

:END

    // requires:    TYPELIST_TYPENAME, FUNCPARAM_TYPES, FUNCPARAM_COUNT,
    //              TYPELIST
:TYPELIST_T
template <typename CStringT, $(TYPELIST_TYPENAME)>
    struct typelist$(FUNCPARAM_COUNT)_t
{ static const unsigned value[$(FUNCPARAM_COUNT)]; };
template <typename CStringT, $(TYPELIST_TYPENAME)>
    const unsigned typelist$(FUNCPARAM_COUNT)_t <CStringT$(FUNCPARAM_TYPES)>::value[$(FUNCPARAM_COUNT)] = {
$(TYPELIST)    };


:END


    // requires:    TYPELISTS
:MAIN

/*
 * qirt/format_typelist.hpp
 * Format string checking support
 * Copyright (C) The Korven Authors. All rights reserved.
 *
 * Version: 1.03
 * Author: The Korven Authors (generated file, do not edit)
 * Licence: BSD-2-Clause
 *
 */

#ifndef _QIRT_FORMAT_TYPELIST_HPP
#define _QIRT_FORMAT_TYPELIST_HPP

#include <qirt/format.hpp>

namespace qirt
{

template <typename CStringT>
    struct typelist0_t
{ static const unsigned* value; };
template <typename CStringT>
    const unsigned* typelist0_t <CStringT>::value = 0;

$(TYPELISTS)

} // namespace qirt

#endif // _QIRT_FORMAT_TYPELIST_HPP

:END


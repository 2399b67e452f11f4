
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

template <typename CStringT, typename T0>
    struct typelist1_t
{ static const unsigned value[1]; };
template <typename CStringT, typename T0>
    const unsigned typelist1_t <CStringT, T0>::value[1] = {
        TypeID <T0, CStringT>::value,
    };

template <typename CStringT, typename T0, typename T1>
    struct typelist2_t
{ static const unsigned value[2]; };
template <typename CStringT, typename T0, typename T1>
    const unsigned typelist2_t <CStringT, T0, T1>::value[2] = {
        TypeID <T0, CStringT>::value,
        TypeID <T1, CStringT>::value,
    };

template <typename CStringT, typename T0, typename T1, typename T2>
    struct typelist3_t
{ static const unsigned value[3]; };
template <typename CStringT, typename T0, typename T1, typename T2>
    const unsigned typelist3_t <CStringT, T0, T1, T2>::value[3] = {
        TypeID <T0, CStringT>::value,
        TypeID <T1, CStringT>::value,
        TypeID <T2, CStringT>::value,
    };

template <typename CStringT, typename T0, typename T1, typename T2, typename T3>
    struct typelist4_t
{ static const unsigned value[4]; };
template <typename CStringT, typename T0, typename T1, typename T2, typename T3>
    const unsigned typelist4_t <CStringT, T0, T1, T2, T3>::value[4] = {
        TypeID <T0, CStringT>::value,
        TypeID <T1, CStringT>::value,
        TypeID <T2, CStringT>::value,
        TypeID <T3, CStringT>::value,
    };

template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4>
    struct typelist5_t
{ static const unsigned value[5]; };
template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4>
    const unsigned typelist5_t <CStringT, T0, T1, T2, T3, T4>::value[5] = {
        TypeID <T0, CStringT>::value,
        TypeID <T1, CStringT>::value,
        TypeID <T2, CStringT>::value,
        TypeID <T3, CStringT>::value,
        TypeID <T4, CStringT>::value,
    };

template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4, typename T5>
    struct typelist6_t
{ static const unsigned value[6]; };
template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4, typename T5>
    const unsigned typelist6_t <CStringT, T0, T1, T2, T3, T4, T5>::value[6] = {
        TypeID <T0, CStringT>::value,
        TypeID <T1, CStringT>::value,
        TypeID <T2, CStringT>::value,
        TypeID <T3, CStringT>::value,
        TypeID <T4, CStringT>::value,
        TypeID <T5, CStringT>::value,
    };

template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6>
    struct typelist7_t
{ static const unsigned value[7]; };
template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6>
    const unsigned typelist7_t <CStringT, T0, T1, T2, T3, T4, T5, T6>::value[7] = {
        TypeID <T0, CStringT>::value,
        TypeID <T1, CStringT>::value,
        TypeID <T2, CStringT>::value,
        TypeID <T3, CStringT>::value,
        TypeID <T4, CStringT>::value,
        TypeID <T5, CStringT>::value,
        TypeID <T6, CStringT>::value,
    };

template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7>
    struct typelist8_t
{ static const unsigned value[8]; };
template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7>
    const unsigned typelist8_t <CStringT, T0, T1, T2, T3, T4, T5, T6, T7>::value[8] = {
        TypeID <T0, CStringT>::value,
        TypeID <T1, CStringT>::value,
        TypeID <T2, CStringT>::value,
        TypeID <T3, CStringT>::value,
        TypeID <T4, CStringT>::value,
        TypeID <T5, CStringT>::value,
        TypeID <T6, CStringT>::value,
        TypeID <T7, CStringT>::value,
    };

template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7, typename T8>
    struct typelist9_t
{ static const unsigned value[9]; };
template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7, typename T8>
    const unsigned typelist9_t <CStringT, T0, T1, T2, T3, T4, T5, T6, T7, T8>::value[9] = {
        TypeID <T0, CStringT>::value,
        TypeID <T1, CStringT>::value,
        TypeID <T2, CStringT>::value,
        TypeID <T3, CStringT>::value,
        TypeID <T4, CStringT>::value,
        TypeID <T5, CStringT>::value,
        TypeID <T6, CStringT>::value,
        TypeID <T7, CStringT>::value,
        TypeID <T8, CStringT>::value,
    };

template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7, typename T8, typename T9>
    struct typelist10_t
{ static const unsigned value[10]; };
template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7, typename T8, typename T9>
    const unsigned typelist10_t <CStringT, T0, T1, T2, T3, T4, T5, T6, T7, T8, T9>::value[10] = {
        TypeID <T0, CStringT>::value,
        TypeID <T1, CStringT>::value,
        TypeID <T2, CStringT>::value,
        TypeID <T3, CStringT>::value,
        TypeID <T4, CStringT>::value,
        TypeID <T5, CStringT>::value,
        TypeID <T6, CStringT>::value,
        TypeID <T7, CStringT>::value,
        TypeID <T8, CStringT>::value,
        TypeID <T9, CStringT>::value,
    };

template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7, typename T8, typename T9, typename T10>
    struct typelist11_t
{ static const unsigned value[11]; };
template <typename CStringT, typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7, typename T8, typename T9, typename T10>
    const unsigned typelist11_t <CStringT, T0, T1, T2, T3, T4, T5, T6, T7, T8, T9, T10>::value[11] = {
        TypeID <T0, CStringT>::value,
        TypeID <T1, CStringT>::value,
        TypeID <T2, CStringT>::value,
        TypeID <T3, CStringT>::value,
        TypeID <T4, CStringT>::value,
        TypeID <T5, CStringT>::value,
        TypeID <T6, CStringT>::value,
        TypeID <T7, CStringT>::value,
        TypeID <T8, CStringT>::value,
        TypeID <T9, CStringT>::value,
        TypeID <T10, CStringT>::value,
    };



} // namespace qirt

#endif // _QIRT_FORMAT_TYPELIST_HPP


/*
 * qirt/format_definition_end.hpp
 * Format string checking support
 * Copyright (C) The Korven Authors. All rights reserved.
 *
 * Version: 1.03
 * Author: The Korven Authors (generated file, do not edit)
 * Licence: BSD-2-Clause
 *
 */


#ifdef QIRT_FORMAT_DECLARE_SAFE
 #undef QIRT_FORMAT_DECLARE_SAFE
#endif
#ifdef QIRT_FORMAT_DECLARE_SAFE_1PARAM
 #undef QIRT_FORMAT_DECLARE_SAFE_1PARAM
#endif
#ifdef QIRT_FORMAT_DECLARE_SAFE_2PARAM
 #undef QIRT_FORMAT_DECLARE_SAFE_2PARAM
#endif



#ifdef __cplusplus

#ifdef QIRT_FORMAT_CHECK

#ifdef QIRT_FORMAT_CHECK_DEBUG

#define cat_sprintf(...) \
    _safe_cat_sprintf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define cat_printf(...) \
    _safe_cat_printf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define fwscanf(...) \
    _safe_fwscanf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define fscanf(...) \
    _safe_fscanf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define swscanf(...) \
    _safe_swscanf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define sscanf(...) \
    _safe_sscanf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define wscanf(...) \
    _safe_wscanf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define scanf(...) \
    _safe_scanf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define fwprintf(...) \
    _safe_fwprintf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define fprintf(...) \
    _safe_fprintf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define swprintf(...) \
    _safe_swprintf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define sprintf(...) \
    _safe_sprintf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define wprintf(...) \
    _safe_wprintf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define printf(...) \
    _safe_printf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)


#else // #ifdef QIRT_FORMAT_CHECK_DEBUG

#define cat_sprintf(...) \
    _safe_cat_sprintf (__VA_ARGS__)
#define cat_printf(...) \
    _safe_cat_printf (__VA_ARGS__)
#define fwscanf(...) \
    _safe_fwscanf (__VA_ARGS__)
#define fscanf(...) \
    _safe_fscanf (__VA_ARGS__)
#define swscanf(...) \
    _safe_swscanf (__VA_ARGS__)
#define sscanf(...) \
    _safe_sscanf (__VA_ARGS__)
#define wscanf(...) \
    _safe_wscanf (__VA_ARGS__)
#define scanf(...) \
    _safe_scanf (__VA_ARGS__)
#define fwprintf(...) \
    _safe_fwprintf (__VA_ARGS__)
#define fprintf(...) \
    _safe_fprintf (__VA_ARGS__)
#define swprintf(...) \
    _safe_swprintf (__VA_ARGS__)
#define sprintf(...) \
    _safe_sprintf (__VA_ARGS__)
#define wprintf(...) \
    _safe_wprintf (__VA_ARGS__)
#define printf(...) \
    _safe_printf (__VA_ARGS__)


#endif // #ifdef QIRT_FORMAT_CHECK_DEBUG

#endif // #ifdef QIRT_FORMAT_CHECK

#endif /* #ifdef __cplusplus */

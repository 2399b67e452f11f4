
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
#ifdef QIRT_FORMAT_DECLARE_SAFE_3PARAM
 #undef QIRT_FORMAT_DECLARE_SAFE_3PARAM
#endif



#ifdef __cplusplus

#ifdef QIRT_FORMAT_CHECK

#ifdef QIRT_FORMAT_CHECK_DEBUG

#define my_log_printf(...) \
    _safe_my_log_printf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define sprintf(...) \
    _safe_sprintf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)
#define printf(...) \
    _safe_printf (__FILE__, __LINE__, __FUNC__, __VA_ARGS__)


#else // #ifdef QIRT_FORMAT_CHECK_DEBUG

#define my_log_printf(...) \
    _safe_my_log_printf (__VA_ARGS__)
#define sprintf(...) \
    _safe_sprintf (__VA_ARGS__)
#define printf(...) \
    _safe_printf (__VA_ARGS__)


#endif // #ifdef QIRT_FORMAT_CHECK_DEBUG

#endif // #ifdef QIRT_FORMAT_CHECK

#endif /* #ifdef __cplusplus */

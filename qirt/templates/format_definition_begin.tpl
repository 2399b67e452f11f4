
    // requires:    FUNCPARAM_COUNT, FUNCPARAM_TYPENAME, FUNCPARAM_TYPES,
    //              FUNCPARAM_SIG, FUNCPARAM_ARG,
    //              xPARAM_SIG, xPARAM_ARG
    //              COL
:DEFINE_SAFE_FORMAT_FUNCTION
    $(FUNCPARAM_TYPENAME) $(COL 76)\\
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG $(COL 76)\\
            $(xPARAM_SIG)formattype format$(FUNCPARAM_SIG)) $(COL 76)\\
    {                                                                       \\
        qirt::verify##variant##FormatString (format, $(COL 76)\\
            qirt::typelist$(FUNCPARAM_COUNT)_t <formattype$(FUNCPARAM_TYPES)>::value, $(COL 76)\\
            $(FUNCPARAM_COUNT) _QIRT_FILELINEFUNC_PARAM); $(COL 76)\\
        return fname ($(xPARAM_ARG)format$(FUNCPARAM_ARG)); $(COL 76)\\
    }                                                                       \\

:END

    // requires:    xPARAM, xPARAM_TYPES,
    //              SAFE_FORMAT_FUNCTIONS, IF_COMPILE_TIME_CHECKS,
    //              COL
:FORMAT_DECLARE
#define QIRT_FORMAT_DECLARE_SAFE$(xPARAM)(variant, formattype, rettype, $(COL 76)\\
    fname$(xPARAM_TYPES)) $(COL 76)\\$(IF_COMPILE_TIME_CHECKS COMPILE_CHECK_QUIET_BEGIN)
$(SAFE_FORMAT_FUNCTIONS)$(IF_COMPILE_TIME_CHECKS COMPILE_CHECK_QUIET_END)


:END

    // requires:    xPARAM, xPARAM_TYPES,
    //              COL
:FORMAT_DECLARE_EMPTY
#define QIRT_FORMAT_DECLARE_SAFE$(xPARAM)(variant, formattype, rettype, $(COL 76)\\
    fname$(xPARAM_TYPES))

:END

    // requires:    UNDEF_FORMAT_FUNCTIONS, IF_COMPILE_TIME_CHECKS,
    //              DEFINE_FORMAT_DECLARE
:MAIN

/*
 * qirt/format_definition_begin.hpp
 * Format string checking support
 * Copyright (C) The Korven Authors. All rights reserved.
 *
 * Version: 1.03
 * Author: The Korven Authors (generated file, do not edit)
 * Licence: BSD-2-Clause
 *
 */

#ifdef __cplusplus

#include <qirt/format.hpp>

#ifdef QIRT_FORMAT_CHECK

$(IF_COMPILE_TIME_CHECKS COMPILE_CHECK_QUIET)$(UNDEF_FORMAT_FUNCTIONS)

#define QIRT_FORMAT_USING(ns,x) using ns::_safe_##x;

$(DEFINE_FORMAT_DECLARE FORMAT_DECLARE)

#else // #ifdef QIRT_FORMAT_CHECK

#define QIRT_FORMAT_USING(ns,x)

$(DEFINE_FORMAT_DECLARE FORMAT_DECLARE_EMPTY)

#endif // #ifdef QIRT_FORMAT_CHECK

#else /* #ifdef __cplusplus */

#define QIRT_FORMAT_USING(ns,x)

$(DEFINE_FORMAT_DECLARE FORMAT_DECLARE_EMPTY)

#endif /* #ifdef __cplusplus */

:END

    // Expanded only with CompileTimeChecks. The wrappers pass on formats
    // that are not literals by design, so strict format warnings are
    // switched off inside them; the compiler checks the calls that reach
    // them where they are written (format_definition_end).
    // requires:    COL
:COMPILE_CHECK_QUIET
// The wrappers pass on formats that are not literals; the compiler checks
// the calls that reach them where they are written.
#if defined(__GNUC__)
#define _QIRT_FORMAT_QUIET_BEGIN _Pragma("GCC diagnostic push") $(COL 76)\\
    _Pragma("GCC diagnostic ignored \\"-Wformat-nonliteral\\"") $(COL 76)\\
    _Pragma("GCC diagnostic ignored \\"-Wformat-security\\"")
#define _QIRT_FORMAT_QUIET_END _Pragma("GCC diagnostic pop")
#else
#define _QIRT_FORMAT_QUIET_BEGIN
#define _QIRT_FORMAT_QUIET_END
#endif


:END

    // requires:    COL
:COMPILE_CHECK_QUIET_BEGIN

    _QIRT_FORMAT_QUIET_BEGIN $(COL 76)\\
:END

:COMPILE_CHECK_QUIET_END
    _QIRT_FORMAT_QUIET_END

:END



    // requires:    UNDEF_FORMAT_DECLARE, IF_COMPILE_TIME_CHECKS,
    //              DEFINE_FORMAT_FUNCTIONS
:MAIN

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


$(UNDEF_FORMAT_DECLARE)


#ifdef __cplusplus

#ifdef QIRT_FORMAT_CHECK

$(IF_COMPILE_TIME_CHECKS COMPILE_CHECK_CALL)#ifdef QIRT_FORMAT_CHECK_DEBUG

$(DEFINE_FORMAT_FUNCTIONS __FILE__, __LINE__, __FUNC__, )

#else // #ifdef QIRT_FORMAT_CHECK_DEBUG

$(DEFINE_FORMAT_FUNCTIONS)

#endif // #ifdef QIRT_FORMAT_CHECK_DEBUG

#endif // #ifdef QIRT_FORMAT_CHECK

#endif /* #ifdef __cplusplus */

:END

    // Expanded only with CompileTimeChecks.
:COMPILE_CHECK_CALL
// Every routed call is also handed to the real function inside sizeof,
// which evaluates nothing: the compiler checks the call as it would without
// the wrappers, and no argument is evaluated twice.
#define _QIRT_FORMAT_COMPILE_CHECK(call) (void)sizeof((void)(call), 0)


:END

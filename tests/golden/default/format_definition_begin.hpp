
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

#undef cat_sprintf
#undef cat_printf
#undef fwscanf
#undef fscanf
#undef swscanf
#undef sscanf
#undef wscanf
#undef scanf
#undef fwprintf
#undef fprintf
#undef swprintf
#undef sprintf
#undef wprintf
#undef printf


#define QIRT_FORMAT_USING(ns,x) using ns::_safe_##x;

#define QIRT_FORMAT_DECLARE_SAFE(variant, formattype, rettype,              \
    fname)                                                                  \
                                                                            \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            formattype format)                                              \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist0_t <formattype>::value,                          \
            0 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (format);                                              \
    }                                                                       \
    template <typename T0>                                                  \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            formattype format, T0 t0)                                       \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist1_t <formattype, T0>::value,                      \
            1 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (format, t0);                                          \
    }                                                                       \
    template <typename T0, typename T1>                                     \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            formattype format, T0 t0, T1 t1)                                \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist2_t <formattype, T0, T1>::value,                  \
            2 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (format, t0, t1);                                      \
    }                                                                       \
    template <typename T0, typename T1, typename T2>                        \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            formattype format, T0 t0, T1 t1, T2 t2)                         \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist3_t <formattype, T0, T1, T2>::value,              \
            3 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (format, t0, t1, t2);                                  \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3>           \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            formattype format, T0 t0, T1 t1, T2 t2, T3 t3)                  \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist4_t <formattype, T0, T1, T2, T3>::value,          \
            4 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (format, t0, t1, t2, t3);                              \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4)           \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist5_t <formattype, T0, T1, T2, T3, T4>::value,      \
            5 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (format, t0, t1, t2, t3, t4);                          \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4, typename T5> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4, T5 t5)    \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist6_t <formattype, T0, T1, T2, T3, T4, T5>::value,  \
            6 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (format, t0, t1, t2, t3, t4, t5);                      \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4, T5 t5, T6 t6) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist7_t <formattype, T0, T1, T2, T3, T4, T5, T6>::value, \
            7 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (format, t0, t1, t2, t3, t4, t5, t6);                  \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4, T5 t5, T6 t6, T7 t7) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist8_t <formattype, T0, T1, T2, T3, T4, T5, T6, T7>::value, \
            8 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (format, t0, t1, t2, t3, t4, t5, t6, t7);              \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7, typename T8> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4, T5 t5, T6 t6, T7 t7, T8 t8) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist9_t <formattype, T0, T1, T2, T3, T4, T5, T6, T7, T8>::value, \
            9 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (format, t0, t1, t2, t3, t4, t5, t6, t7, t8);          \
    }                                                                       \


#define QIRT_FORMAT_DECLARE_SAFE_1PARAM(variant, formattype, rettype,       \
    fname, p0type)                                                          \
                                                                            \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, formattype format)                                   \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist0_t <formattype>::value,                          \
            0 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, format);                                          \
    }                                                                       \
    template <typename T0>                                                  \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, formattype format, T0 t0)                            \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist1_t <formattype, T0>::value,                      \
            1 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, format, t0);                                      \
    }                                                                       \
    template <typename T0, typename T1>                                     \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, formattype format, T0 t0, T1 t1)                     \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist2_t <formattype, T0, T1>::value,                  \
            2 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, format, t0, t1);                                  \
    }                                                                       \
    template <typename T0, typename T1, typename T2>                        \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, formattype format, T0 t0, T1 t1, T2 t2)              \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist3_t <formattype, T0, T1, T2>::value,              \
            3 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, format, t0, t1, t2);                              \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3>           \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, formattype format, T0 t0, T1 t1, T2 t2, T3 t3)       \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist4_t <formattype, T0, T1, T2, T3>::value,          \
            4 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, format, t0, t1, t2, t3);                          \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist5_t <formattype, T0, T1, T2, T3, T4>::value,      \
            5 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, format, t0, t1, t2, t3, t4);                      \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4, typename T5> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4, T5 t5) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist6_t <formattype, T0, T1, T2, T3, T4, T5>::value,  \
            6 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, format, t0, t1, t2, t3, t4, t5);                  \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4, T5 t5, T6 t6) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist7_t <formattype, T0, T1, T2, T3, T4, T5, T6>::value, \
            7 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, format, t0, t1, t2, t3, t4, t5, t6);              \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4, T5 t5, T6 t6, T7 t7) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist8_t <formattype, T0, T1, T2, T3, T4, T5, T6, T7>::value, \
            8 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, format, t0, t1, t2, t3, t4, t5, t6, t7);          \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7, typename T8> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4, T5 t5, T6 t6, T7 t7, T8 t8) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist9_t <formattype, T0, T1, T2, T3, T4, T5, T6, T7, T8>::value, \
            9 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, format, t0, t1, t2, t3, t4, t5, t6, t7, t8);      \
    }                                                                       \


#define QIRT_FORMAT_DECLARE_SAFE_2PARAM(variant, formattype, rettype,       \
    fname, p0type, p1type)                                                  \
                                                                            \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, p1type p1, formattype format)                        \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist0_t <formattype>::value,                          \
            0 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, p1, format);                                      \
    }                                                                       \
    template <typename T0>                                                  \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, p1type p1, formattype format, T0 t0)                 \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist1_t <formattype, T0>::value,                      \
            1 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, p1, format, t0);                                  \
    }                                                                       \
    template <typename T0, typename T1>                                     \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, p1type p1, formattype format, T0 t0, T1 t1)          \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist2_t <formattype, T0, T1>::value,                  \
            2 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, p1, format, t0, t1);                              \
    }                                                                       \
    template <typename T0, typename T1, typename T2>                        \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, p1type p1, formattype format, T0 t0, T1 t1, T2 t2)   \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist3_t <formattype, T0, T1, T2>::value,              \
            3 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, p1, format, t0, t1, t2);                          \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3>           \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, p1type p1, formattype format, T0 t0, T1 t1, T2 t2, T3 t3) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist4_t <formattype, T0, T1, T2, T3>::value,          \
            4 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, p1, format, t0, t1, t2, t3);                      \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, p1type p1, formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist5_t <formattype, T0, T1, T2, T3, T4>::value,      \
            5 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, p1, format, t0, t1, t2, t3, t4);                  \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4, typename T5> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, p1type p1, formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4, T5 t5) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist6_t <formattype, T0, T1, T2, T3, T4, T5>::value,  \
            6 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, p1, format, t0, t1, t2, t3, t4, t5);              \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, p1type p1, formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4, T5 t5, T6 t6) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist7_t <formattype, T0, T1, T2, T3, T4, T5, T6>::value, \
            7 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, p1, format, t0, t1, t2, t3, t4, t5, t6);          \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, p1type p1, formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4, T5 t5, T6 t6, T7 t7) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist8_t <formattype, T0, T1, T2, T3, T4, T5, T6, T7>::value, \
            8 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, p1, format, t0, t1, t2, t3, t4, t5, t6, t7);      \
    }                                                                       \
    template <typename T0, typename T1, typename T2, typename T3, typename T4, typename T5, typename T6, typename T7, typename T8> \
        inline rettype _safe_##fname (_QIRT_FILELINEFUNC_SIG                \
            p0type p0, p1type p1, formattype format, T0 t0, T1 t1, T2 t2, T3 t3, T4 t4, T5 t5, T6 t6, T7 t7, T8 t8) \
    {                                                                       \
        qirt::verify##variant##FormatString (format,                        \
            qirt::typelist9_t <formattype, T0, T1, T2, T3, T4, T5, T6, T7, T8>::value, \
            9 _QIRT_FILELINEFUNC_PARAM);                                    \
        return fname (p0, p1, format, t0, t1, t2, t3, t4, t5, t6, t7, t8);  \
    }                                                                       \




#else // #ifdef QIRT_FORMAT_CHECK

#define QIRT_FORMAT_USING(ns,x)

#define QIRT_FORMAT_DECLARE_SAFE(variant, formattype, rettype,              \
    fname)
#define QIRT_FORMAT_DECLARE_SAFE_1PARAM(variant, formattype, rettype,       \
    fname, p0type)
#define QIRT_FORMAT_DECLARE_SAFE_2PARAM(variant, formattype, rettype,       \
    fname, p0type, p1type)


#endif // #ifdef QIRT_FORMAT_CHECK

#else /* #ifdef __cplusplus */

#define QIRT_FORMAT_USING(ns,x)

#define QIRT_FORMAT_DECLARE_SAFE(variant, formattype, rettype,              \
    fname)
#define QIRT_FORMAT_DECLARE_SAFE_1PARAM(variant, formattype, rettype,       \
    fname, p0type)
#define QIRT_FORMAT_DECLARE_SAFE_2PARAM(variant, formattype, rettype,       \
    fname, p0type, p1type)


#endif /* #ifdef __cplusplus */

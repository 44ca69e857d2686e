#pragma once

#include <QtGlobal>

#if defined(VARULOGGER_LIBRARY)
#define VARULOGGER_EXPORT Q_DECL_EXPORT
#else
#define VARULOGGER_EXPORT Q_DECL_IMPORT
#endif

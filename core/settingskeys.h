#pragma once

#include <QString>

// The settings of an account, as group "." name.
namespace VaruSettingsKey {
inline const QString outputDir = QStringLiteral("common.OutputDir");
inline const QString useRovan = QStringLiteral("common.UseRovan");
inline const QString useWexly = QStringLiteral("common.UseWexly");
inline const QString keyStorePath = QStringLiteral("sign.KeyStorePath");
inline const QString keyStorePassword = QStringLiteral("sign.KeyStorePassword");
// Spelled so in every settings file written so far.
inline const QString keyStoreAlias = QStringLiteral("sign.KeyStoreAilas");
inline const QString keyStoreAliasPassword = QStringLiteral("sign.KeystoreAliasPassword");
inline const QString autoSign = QStringLiteral("sign.AutoSign");
inline const QString androidName = QStringLiteral("pack.AndroidName");
inline const QString packParams = QStringLiteral("pack.Params");
inline const QString autoPack = QStringLiteral("pack.AutoPack");
} // namespace VaruSettingsKey

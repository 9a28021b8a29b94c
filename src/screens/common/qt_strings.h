// The core speaks std::string (UTF-8), the widgets QString: the ways across,
// for every screen. System names (registry keys, file paths) go through the
// local 8-bit encoding instead.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace valmora {

inline std::string Std(const QString& text) { return text.toStdString(); }
inline QString Q(const std::string& text) { return QString::fromStdString(text); }

inline QString Local(std::string_view text) { return QString::fromLocal8Bit(text.data(), qsizetype(text.size())); }
inline QString Local(const std::string& text) { return Local(std::string_view(text)); }
inline std::string Local(const QString& text) { return text.toLocal8Bit().toStdString(); }

}  // namespace valmora

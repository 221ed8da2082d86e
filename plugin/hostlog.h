// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_HOSTLOG_H
#define VQTINTWELL_HOSTLOG_H

#include <QByteArray>

class IInkHost;

// The lines the plug-in hands to the host's WriteLog, UTF-8 as the host
// expects them. Each begins with the same tag, by which a host tells the
// plug-in's lines from its own.
namespace HostLog {

constexpr char AlreadyShown[] = "墨水加密：弹窗已经显示！";
constexpr char InkListFailed[] = "墨水加密：获取墨水信息列表失败";
constexpr char InkListEmpty[] = "墨水加密：没有需要显示的墨水信息";
constexpr char RefillLogFailed[] = "墨水加密：获取加墨记录列表失败！";
constexpr char RefillLogEmpty[] = "墨水加密：没有需要显示的加墨记录";

// Hands 'line' to the host set by SetHost; without one it goes nowhere.
void write(const char* line);

// The same from any thread, to 'brought' while no host is set. The host
// hears its library on its GUI thread only: a line from another thread
// waits for that thread's event loop, unless there is no QApplication (and
// so no GUI thread) to wait for.
void writeFromAnyThread(const QByteArray& line, IInkHost* brought);

} // namespace HostLog

#endif

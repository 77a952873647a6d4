#include "platform/qt/frame_hints.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace platform::qt {

namespace {

// From the Motif window manager's hints, as every X11 window manager reads them.
constexpr std::uint32_t HintsFunctions = 1u << 0;
constexpr std::uint32_t HintsDecorations = 1u << 1;
constexpr std::uint32_t FunctionMove = 1u << 2;
constexpr std::uint32_t FunctionClose = 1u << 5;
constexpr std::uint32_t DecorationBorder = 1u << 1;
constexpr std::uint32_t DecorationTitle = 1u << 3;
constexpr std::uint32_t DecorationMenu = 1u << 4;

} // namespace

void AskForMoveAndCloseOnly(QWidget &window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t *connection = x11->connection();
    constexpr char name[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    if (!atom)
        return;
    // Flags, functions, decorations, input mode, status.
    const std::array<std::uint32_t, 5> hints{
        HintsFunctions | HintsDecorations, FunctionMove | FunctionClose,
        DecorationBorder | DecorationTitle | DecorationMenu, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window.winId()), atom->atom,
                        atom->atom, 32, hints.size(), hints.data());
    xcb_flush(connection);
    std::free(atom);
}

} // namespace platform::qt

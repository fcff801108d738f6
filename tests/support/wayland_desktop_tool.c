/* What the Wayland desktop tests need from the compositor, as a launcher or
 * a person would do it:
 *   wayland_desktop_tool token
 *     prints an activation token, as a file manager or dock asks for one
 *     before starting a program and puts it in XDG_ACTIVATION_TOKEN;
 *   wayland_desktop_tool pointer WIDTH HEIGHT
 *     adds a mouse to the seat and, for each line read, moves or clicks it:
 *     "move X Y" (on a desktop of WIDTH x HEIGHT), "press B", "release B"
 *     (B a Linux button code: 272 left, 273 right).
 * Exit 1 when the compositor cannot be reached or lacks the protocol. */
#include "virtual-pointer-v1-client-protocol.h"
#include "xdg-activation-v1-client-protocol.h"

#include <stdio.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

static struct xdg_activation_v1* activation;
static struct zwlr_virtual_pointer_manager_v1* pointer_manager;
static struct wl_seat* seat;
static int token_done;

static void note_global(void* data, struct wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    (void)data;
    (void)version;
    if (strcmp(interface, xdg_activation_v1_interface.name) == 0)
        activation = wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1);
    else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        pointer_manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
    else if (strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
}

static void ignore_removal(void* data, struct wl_registry* registry, uint32_t name)
{
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {note_global, ignore_removal};

static void print_token(void* data, struct xdg_activation_token_v1* token, const char* text)
{
    (void)data;
    (void)token;
    printf("%s\n", text);
    token_done = 1;
}

static const struct xdg_activation_token_v1_listener token_listener = {print_token};

static int print_activation_token(struct wl_display* display)
{
    if (!activation) {
        fprintf(stderr, "the compositor does not offer xdg-activation\n");
        return 1;
    }
    struct xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(activation);
    xdg_activation_token_v1_add_listener(token, &token_listener, NULL);
    xdg_activation_token_v1_set_app_id(token, "albireo");
    xdg_activation_token_v1_commit(token);
    while (!token_done && wl_display_dispatch(display) != -1) {
    }
    xdg_activation_token_v1_destroy(token);
    return token_done ? 0 : 1;
}

static uint32_t now_ms(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint32_t)(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

static int drive_pointer(struct wl_display* display, unsigned width, unsigned height)
{
    if (!pointer_manager) {
        fprintf(stderr, "the compositor does not offer a virtual pointer\n");
        return 1;
    }
    struct zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointer_manager, seat);
    wl_display_roundtrip(display);
    char line[128];
    while (fgets(line, sizeof line, stdin)) {
        unsigned x = 0, y = 0, button = 0;
        if (sscanf(line, "move %u %u", &x, &y) == 2)
            zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), x, y, width, height);
        else if (sscanf(line, "press %u", &button) == 1)
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), button, WL_POINTER_BUTTON_STATE_PRESSED);
        else if (sscanf(line, "release %u", &button) == 1)
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), button, WL_POINTER_BUTTON_STATE_RELEASED);
        else {
            fprintf(stderr, "not a pointer command: %s", line);
            continue;
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        if (wl_display_roundtrip(display) == -1) break;
    }
    /* The device goes with the connection; only our side is freed here. */
    wl_proxy_destroy((struct wl_proxy*)pointer);
    return ferror(stdin) ? 1 : 0;
}

int main(int argc, char** argv)
{
    unsigned width = 0, height = 0;
    const int wants_token = argc == 2 && strcmp(argv[1], "token") == 0;
    const int wants_pointer = argc == 4 && strcmp(argv[1], "pointer") == 0 && sscanf(argv[2], "%u", &width) == 1 &&
                              sscanf(argv[3], "%u", &height) == 1;
    if (!wants_token && !wants_pointer) {
        fprintf(stderr, "usage: %s token | pointer WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "no Wayland compositor to ask\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    const int result = wants_token ? print_activation_token(display) : drive_pointer(display, width, height);
    if (activation) xdg_activation_v1_destroy(activation);
    if (pointer_manager) wl_proxy_destroy((struct wl_proxy*)pointer_manager);
    if (seat) wl_seat_destroy(seat);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return result;
}

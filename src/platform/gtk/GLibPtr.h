#pragma once
// RAII owners for GLib memory and GObject references, so every reference the
// backends take is released exactly once.

#include <glib-object.h>
#include <glib.h>

#include <memory>

namespace qvz::gtk {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

// Owns one reference to a GObject.
template<typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};

// Owns a g_malloc'ed string.
using GCharPtr = std::unique_ptr<gchar, GFree>;

struct GErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};

using GErrorPtr = std::unique_ptr<GError, GErrorFree>;

// A signal connection that is cut when its owner goes, so no handler can run
// on a destroyed object.
class SignalConnection {
public:
    SignalConnection() = default;
    SignalConnection(gpointer instance, gulong id)
        : m_instance(instance)
        , m_id(id)
    {
        g_object_add_weak_pointer(G_OBJECT(m_instance), &m_instance);
    }
    SignalConnection(const SignalConnection&) = delete;
    SignalConnection& operator=(const SignalConnection&) = delete;
    ~SignalConnection() { disconnect(); }

    void disconnect()
    {
        if (m_instance) {
            g_signal_handler_disconnect(m_instance, m_id);
            g_object_remove_weak_pointer(G_OBJECT(m_instance), &m_instance);
            m_instance = nullptr;
        }
    }

private:
    gpointer m_instance = nullptr;
    gulong m_id = 0;
};

}

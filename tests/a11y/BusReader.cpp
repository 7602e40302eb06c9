#include "tests/a11y/BusReader.h"

#include <atspi/atspi.h>

#include <chrono>
#include <set>
#include <thread>

namespace a11y_test {

namespace {

using Clock = std::chrono::steady_clock;

// A string libatspi hands over, freed.
std::string take(gchar* s) {
    std::string out = s ? s : "";
    g_free(s);
    return out;
}

// A reference libatspi hands over, given back at the end of the scope.
template <class T> struct Held {
    T* p;
    explicit Held(T* object) : p(object) {}
    ~Held() {
        if (p)
            g_object_unref(p);
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
};

// Lets the bus's messages in (events, the registry's news of new programs).
void pump(int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    do {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (Clock::now() < end);
}

const char* const kListened[] = {"object:property-change", "object:value-changed",
                                 "object:selection-changed"};

std::string pathOf(AtspiAccessible* a) {
    return ATSPI_OBJECT(a)->path ? ATSPI_OBJECT(a)->path : "";
}

// Reads an object and all inside it; `around` holds the paths of the objects it is in.
Read readObject(AtspiAccessible* a, std::vector<std::string>& around) {
    Read r;
    r.role = take(atspi_accessible_get_role_name(a, nullptr));
    r.name = take(atspi_accessible_get_name(a, nullptr));
    Held<AtspiStateSet> states(atspi_accessible_get_state_set(a));
    if (states.p) {
        r.checked = atspi_state_set_contains(states.p, ATSPI_STATE_CHECKED);
        r.editable = atspi_state_set_contains(states.p, ATSPI_STATE_EDITABLE);
        r.readOnly = atspi_state_set_contains(states.p, ATSPI_STATE_READ_ONLY);
        r.showing = atspi_state_set_contains(states.p, ATSPI_STATE_SHOWING);
    }
    if (GArray* relations = atspi_accessible_get_relation_set(a, nullptr)) {
        for (guint i = 0; i < relations->len; ++i) {
            Held<AtspiRelation> relation(g_array_index(relations, AtspiRelation*, i));
            if (atspi_relation_get_relation_type(relation.p) != ATSPI_RELATION_LABELLED_BY)
                continue;
            for (gint t = 0; t < atspi_relation_get_n_targets(relation.p); ++t) {
                Held<AtspiAccessible> target(atspi_relation_get_target(relation.p, t));
                bool isAround = false;
                for (const std::string& path : around)
                    isAround = isAround || path == pathOf(target.p);
                if (isAround)
                    continue;
                const std::string name = take(atspi_accessible_get_name(target.p, nullptr));
                r.label += (r.label.empty() ? "" : " ") + name;
            }
        }
        g_array_free(relations, TRUE);
    }
    if (Held<AtspiText> text(atspi_accessible_get_text_iface(a)); text.p) {
        const gint count = atspi_text_get_character_count(text.p, nullptr);
        r.text = take(atspi_text_get_text(text.p, 0, count, nullptr));
    }
    around.push_back(pathOf(a));
    const gint children = atspi_accessible_get_child_count(a, nullptr);
    for (gint i = 0; i < children && i < 500; ++i) {
        Held<AtspiAccessible> child(atspi_accessible_get_child_at_index(a, i, nullptr));
        if (child.p)
            r.children.push_back(readObject(child.p, around));
    }
    around.pop_back();
    return r;
}

} // namespace

void Read::walk(const std::function<void(const Read&, const Read*)>& visit,
                const Read* parent) const {
    visit(*this, parent);
    for (const Read& child : children)
        child.walk(visit, this);
}

struct BusReader::Listening {
    AtspiEventListener* listener = nullptr;
    std::vector<AtspiAccessible*> sources; // held
    void drop() {
        for (AtspiAccessible* a : sources)
            g_object_unref(a);
        sources.clear();
    }
};

BusReader::BusReader() {
    atspi_init();
    atspi_set_timeout(5000, 15000);
}

BusReader::~BusReader() {
    stopListening();
}

void BusReader::stopListening() {
    if (!listening_)
        return;
    for (const char* event : kListened)
        atspi_event_listener_deregister(listening_->listener, event, nullptr);
    g_object_unref(listening_->listener);
    listening_->drop();
    delete listening_;
    listening_ = nullptr;
}

std::optional<Read> BusReader::window(pid_t pid, const std::string& title, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        Held<AtspiAccessible> desktop(atspi_get_desktop(0));
        atspi_accessible_clear_cache(desktop.p); // programs come and go
        const gint apps = atspi_accessible_get_child_count(desktop.p, nullptr);
        for (gint i = 0; i < apps; ++i) {
            Held<AtspiAccessible> app(atspi_accessible_get_child_at_index(desktop.p, i, nullptr));
            if (!app.p || pid_t(atspi_accessible_get_process_id(app.p, nullptr)) != pid)
                continue;
            // Read afresh, never from what an earlier look kept.
            atspi_accessible_set_cache_mask(app.p, ATSPI_CACHE_NONE);
            const gint windows = atspi_accessible_get_child_count(app.p, nullptr);
            for (gint w = 0; w < windows; ++w) {
                Held<AtspiAccessible> window(
                    atspi_accessible_get_child_at_index(app.p, w, nullptr));
                if (!window.p || take(atspi_accessible_get_name(window.p, nullptr)) != title)
                    continue;
                std::vector<std::string> around{pathOf(app.p)};
                Read read = readObject(window.p, around);
                if (read.showing)
                    return read;
            }
        }
        pump(50);
    } while (Clock::now() < end);
    return std::nullopt;
}

void BusReader::listen() {
    stopListening();
    listening_ = new Listening;
    // Only noted here: asking the program in the middle of its events would hold them up.
    listening_->listener = atspi_event_listener_new(
        [](AtspiEvent* event, void* data) {
            if (std::string(event->type) == "object:property-change:accessible-name")
                static_cast<Listening*>(data)->sources.push_back(
                    static_cast<AtspiAccessible*>(g_object_ref(event->source)));
            g_boxed_free(ATSPI_TYPE_EVENT, event);
        },
        listening_, nullptr);
    // What a screen reader listens to when a list changes (programs send only what is
    // listened to).
    for (const char* event : kListened)
        atspi_event_listener_register(listening_->listener, event, nullptr);
}

std::vector<std::string> BusReader::announcedNames(pid_t pid, int waitMs) {
    pump(waitMs);
    std::vector<std::string> names;
    if (!listening_)
        return names;
    for (AtspiAccessible* source : listening_->sources) {
        if (pid_t(atspi_accessible_get_process_id(source, nullptr)) != pid)
            continue;
        atspi_accessible_clear_cache(source);
        names.push_back(take(atspi_accessible_get_name(source, nullptr)));
    }
    listening_->drop();
    return names;
}

} // namespace a11y_test

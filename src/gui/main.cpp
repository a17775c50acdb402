#include "gui/window/mavlo_app.h"

int main(int argc, char** argv) {
    return qvr::CMavloApp().run(argc, argv);
}

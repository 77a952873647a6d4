#include "platform/application.h"
#include "shell/main_window.h"
#include "shell/tarvelo_description.h"

int main(int argc, char **argv)
{
    return platform::RunApplication(
        argc, argv, shell::TarveloDescription(),
        [](platform::Form &form) { return std::make_unique<shell::Tarvelo>(form); });
}

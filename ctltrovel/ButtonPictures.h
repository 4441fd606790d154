// ButtonPictures: the 16x16 pictures of the four buttons that both search
// controls show (read, next, select, exit). The pictures are made once and
// shared by every control's buttons.
#pragma once

#include <memory>

#include "platform/CommandButton.h"
#include "platform/Picture.h"

namespace trovel {

class ButtonPictures {
 public:
  static std::shared_ptr<Picture> Leer();         // a magnifying glass
  static std::shared_ptr<Picture> Siguiente();    // an arrow to the right
  static std::shared_ptr<Picture> Seleccionar();  // a check mark
  static std::shared_ptr<Picture> Salir();        // a cross in a red disc

  // Makes the four buttons graphical, each with its picture.
  static void Apply(CommandButton& leer, CommandButton& siguiente, CommandButton& seleccionar, CommandButton& salir);
};

}  // namespace trovel

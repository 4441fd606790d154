#include "ctltrovel/ButtonPictures.h"

namespace trovel {

// Rows of palette indices ('.' is transparent): 0 black, 2 dark green,
// 8 grey, a green, b cyan, c red, f white.

std::shared_ptr<Picture> ButtonPictures::Leer() {
  static const auto picture = std::make_shared<Picture>(std::vector<std::string>{
      "................", "....00000.......", "...00bbb00......", "..0bbbbbbb0.....",
      ".00bffbbbb00....", ".0bbffbbbbb0....", ".0bbbbbbbbb0....", ".0bbbbbbbbb0....",
      ".00bbbbbbb00....", "..0bbbbbbb0.....", "...00bbb0080....", "....00000.080...",
      "...........080..", "............080.", ".............080", "..............08"});
  return picture;
}

std::shared_ptr<Picture> ButtonPictures::Siguiente() {
  static const auto picture = std::make_shared<Picture>(std::vector<std::string>{
      "................", "................", "........0.......", "........00......",
      "........0a0.....", "........0aa0....", ".0000000022a0...", ".0aaaaaaaa22a0..",
      ".0aaaaaaaa222a0.", ".0aaaaaaaa22a0..", ".0000000022a0...", "........0aa0....",
      "........0a0.....", "........00......", "........0.......", "................"});
  return picture;
}

std::shared_ptr<Picture> ButtonPictures::Seleccionar() {
  static const auto picture = std::make_shared<Picture>(std::vector<std::string>{
      "................", "..............0.", ".............0a0", "............0a20",
      "...........0a20.", "..........0a20..", ".0.......0a20...", "0a0.....0a20....",
      "0aa0...0a20.....", ".0aa0.0a20......", "..0aa0a20.......", "...0aaa20.......",
      "....0a20........", ".....00.........", "................", "................"});
  return picture;
}

std::shared_ptr<Picture> ButtonPictures::Salir() {
  static const auto picture = std::make_shared<Picture>(std::vector<std::string>{
      "................", ".....000000.....", "...00cccccc00...", "..00cccccccc00..",
      "..0ccfccccfcc0..", ".0ccfffccfffcc0.", ".0cccffffffccc0.", ".0ccccffffcccc0.",
      ".0ccccffffcccc0.", ".0cccffffffccc0.", ".0ccfffccfffcc0.", "..0ccfccccfcc0..",
      "..00cccccccc00..", "...00cccccc00...", ".....000000.....", "................"});
  return picture;
}

void ButtonPictures::Apply(CommandButton& leer, CommandButton& siguiente, CommandButton& seleccionar,
                           CommandButton& salir) {
  const std::pair<CommandButton*, std::shared_ptr<Picture>> buttons[] = {
      {&leer, Leer()}, {&siguiente, Siguiente()}, {&seleccionar, Seleccionar()}, {&salir, Salir()}};
  for (const auto& [button, picture] : buttons) {
    button->SetStyle(ButtonStyle::Graphical);
    button->SetPicture(picture);
  }
}

}  // namespace trovel

#!/usr/bin/python3
"""Write data/idioma/idioma.txt, the Spanish text of the game's interface.

The file holds exactly 20 lines, encoded Windows-1252, each ended by CR LF.
The game reads them by position, so the order below matters:

  1-12  buttons, labels and hints of the start and set-up screens
  13    turn prefix, shown as  <line 13> <name>
  14-15 buttons of the end-of-game dialog
  16-17 one-player result:  <name> <16> <attempts> <17>
  18-20 two-player result:  <name> <18> <pairs> <19>  <points> <20>

Needs only the Python standard library.  Run from the repository root:
    /usr/bin/python3 tools/make_language.py
"""
import os
import sys

LINES = [
    "CONTINUAR",
    "1 jugador",
    "2 jugadores",
    "Nombre",
    "Escribe tu nombre",
    "Jugador 1",
    "Jugador 2",
    "ACEPTAR",
    "Selecciona la carpeta de imágenes y el número de parejas",
    "2 puntos por partida y 1 por empate",
    "Parejas acertadas",
    "JUGAR",
    "Le toca a",
    "SEGUIR JUGANDO",
    "FIN JUEGO",
    "lo ha conseguido en",
    "intentos",
    "ha encontrado",
    "parejas. Lleva",
    "puntos",
]

OUT = os.path.join("data", "idioma", "idioma.txt")


def main():
    if len(LINES) != 20:
        sys.exit("expected 20 lines, have %d" % len(LINES))
    for n, line in enumerate(LINES, 1):
        if "\r" in line or "\n" in line:
            sys.exit("line %d contains a line break" % n)
    data = "".join(line + "\r\n" for line in LINES).encode("cp1252")
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    with open(OUT, "wb") as f:
        f.write(data)
    print("wrote %s (%d lines, %d bytes)" % (OUT, len(LINES), len(data)))


if __name__ == "__main__":
    main()

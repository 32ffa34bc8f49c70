// The SDL host: a real window, keyboard, clock, message box and sound card.

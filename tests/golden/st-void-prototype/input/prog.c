void h(void);
void h(void) {
}

void main() {
  ASM   push_parameter 5 ;
}

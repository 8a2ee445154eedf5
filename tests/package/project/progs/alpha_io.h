int alpha_step;

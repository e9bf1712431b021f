%ACCUM_DERIVS3  Gradient and Hessian sums with respect to a Gaussian's centre.
%   [G, H] = ACCUM_DERIVS3(U, V, W, A, B, SXY, SZ) sums per-sample terms over
%   M samples into a 3-by-1 vector G and a symmetric 3-by-3 matrix H. With
%   K = [U(i) V(i) W(i)], widths S = [SXY SXY SZ], P = B(i)*(2*A(i)) and
%   Q = 2*A(i)*A(i) - P, sample i adds
%
%      G(r)   <- G(r) - P*K(r)
%      H(r,c) <- H(r,c) + K(c)*Q*K(r)                  (r > c)
%      H(r,r) <- H(r,r) + K(r)*Q*K(r) + P/S(r)^2
%
%   Starting from zeros, every entry is summed in sample order, in this exact
%   order of operations; the entries above the diagonal are copies of those
%   below, so H is symmetric bit for bit.
%
%   With U = (x-cx)/SXY^2, V = (y-cy)/SXY^2, W = (z-cz)/SZ^2, A the value of
%   the Gaussian (see GAUSS3_EVAL) and B = data - model at each sample, G
%   and H are the gradient and the (Gauss-Newton plus curvature) Hessian of
%   sum((model - data).^2) with respect to the centre [cx cy cz].
%
%   Inputs (all real double):
%      U           M-by-K; its row count M is the number of samples, and
%                  only the first column is used
%      V, W, A, B  at least M elements each
%      SXY, SZ     scalars, the widths
%
%   NaN and infinities follow IEEE arithmetic: a NaN in A or B makes all of
%   G and H NaN; a zero width makes the diagonal entries along it infinite
%   or NaN. With M = 0, G and H are zeros and the other inputs are not read.
%
%   Errors:
%      'Seven input required.' / 'Two output required.'  wrong argument counts
%      accum_derivs3:notRealDouble   an input is not a real double array
%      accum_derivs3:tooFewElements  V, W, A, B, SXY or SZ is shorter than read
%      accum_derivs3:tooLarge        M is 2^31 or more
%
%   Example:
%      [g, H] = accum_derivs3(1, 2, 3, 1, 0.5, 1, 2)
%      % g = [-1; -2; -3], H = [2 2 3; 2 5 6; 3 6 9.25]
%
%   See also GAUSS3_EVAL, GAUSS3_EVAL_APPROX, PAIR_BLOCKS3.
